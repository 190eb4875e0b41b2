#include "bench_game.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "authoring/game_writer.h"
#include "demo/demo_canvas.h"

namespace {

// The sizes of a cycle, each with its frame count: many small figures, few large ones, as a
// game has them. Five costumes of each size per cycle: 5 x 200 = 1,000 frames.
struct SizeClass {
    uint16_t width, height, frames;
};
constexpr SizeClass kSizes[] = {
    {24, 24, 44},  {32, 48, 40},   {48, 72, 36},   {64, 96, 30},
    {96, 128, 20}, {136, 176, 12}, {200, 320, 9},  {320, 200, 9},
};
struct Storage {
    uint16_t codec;
    uint32_t colours;
};
// Codec 1 takes at most 64 colours; the others any count.
constexpr Storage kStorages[] = {
    {1, 16}, {1, 32}, {1, 64}, {5, 16}, {5, 128}, {5, 256}, {16, 16}, {16, 64}, {16, 128}, {16, 256},
};
static_assert(std::size(kSizes) * std::size(kStorages) == 2 * kBenchKindsPerCycle);

constexpr uint32_t FramesPerCycle() {
    uint32_t frames = 0;
    for (const SizeClass& size : kSizes) frames += size.frames;
    return frames * kBenchKindsPerCycle / static_cast<uint32_t>(std::size(kSizes));
}
static_assert(FramesPerCycle() == kBenchFramesPerCycle);

constexpr uint32_t kRooms = 20;
constexpr uint32_t kCostumesPerRoom = kBenchCostumes / kRooms;

// A small generator of its own: the standard distributions differ between libraries.
struct Random {
    uint64_t state;
    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // From `low` to `high`.
    double Between(double low, double high) {
        return low + (high - low) * static_cast<double>(Next() >> 11) / 9007199254740992.0;
    }
    int Below(int count) { return static_cast<int>(Next() % static_cast<uint64_t>(count)); }
};

// A colour ramp of the palette, lightest first.
struct Ramp {
    uint8_t first = 0;
    int count = 1;
};

// Parts of a figure, each with a ramp of its own, and the floor of the large frames.
enum Part { kSkin, kTop, kLegs, kHair, kShoes, kProp, kFloor, kPartCount };

struct Look {
    Ramp ramps[kPartCount];
    int action = 0;  // 0 walks, 1 waves, 2 jumps
    double limbs = 1, head = 1, girth = 1;
    bool dithered = false;  // a fabric's grain where the ramps are long enough to show it
};

Rgb RandomColour(Random& random) {
    return {static_cast<uint8_t>(random.Between(60, 255)),
            static_cast<uint8_t>(random.Between(60, 255)),
            static_cast<uint8_t>(random.Between(60, 255))};
}

Rgb Towards(Rgb from, Rgb to, double t) {
    auto mix = [&](uint8_t a, uint8_t b) {
        return static_cast<uint8_t>(std::lround(a + (b - a) * t));
    };
    return {mix(from.red, to.red), mix(from.green, to.green), mix(from.blue, to.blue)};
}

Look MakeLook(Random& random, uint32_t colours, DemoPalette* palette) {
    Look look;
    const int length = std::max(1, static_cast<int>(colours - 2) / kPartCount);
    for (Ramp& ramp : look.ramps) {
        const Rgb base = RandomColour(random);
        ramp.first = palette->Ramp(Towards(base, {255, 255, 255}, 0.5),
                                   Towards(base, {0, 0, 0}, 0.7), length);
        ramp.count = length;
    }
    look.action = random.Below(3);
    look.limbs = random.Between(0.85, 1.15);
    look.head = random.Between(0.85, 1.2);
    look.girth = random.Between(0.8, 1.25);
    look.dithered = length >= 8;
    return look;
}

// A figure's coordinates are those of a 64 x 96 box, placed at `left`, `top` and scaled.
struct Placement {
    double left, top, scale;
    double X(double x) const { return left + x * scale; }
    double Y(double y) const { return top + y * scale; }
};

double Grain(int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 0x27D4EB2Du ^ static_cast<uint32_t>(y) * 0x165667B1u;
    h ^= h >> 15;
    h *= 0x85EBCA77u;
    h ^= h >> 13;
    return static_cast<double>(h & 255) / 255.0 - 0.5;
}

// A limb or body part lit from the upper left: lighter along the lit side of its axis.
void ShadedCapsule(Canvas& canvas, const Look& look, Part part, const Placement& at, double x0,
                   double y0, double x1, double y1, double radius) {
    const double ax = at.X(x0), ay = at.Y(y0), bx = at.X(x1), by = at.Y(y1);
    const double r = std::max(0.6, radius * at.scale);
    const double dx = bx - ax, dy = by - ay, span = dx * dx + dy * dy;
    const int left = std::max(0, static_cast<int>(std::floor(std::min(ax, bx) - r)));
    const int right = std::min(canvas.width, static_cast<int>(std::ceil(std::max(ax, bx) + r)) + 1);
    const int top = std::max(0, static_cast<int>(std::floor(std::min(ay, by) - r)));
    const int bottom = std::min(canvas.height, static_cast<int>(std::ceil(std::max(ay, by) + r)) + 1);
    const Ramp ramp = look.ramps[part];
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double along = span > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / span, 0.0, 1.0) : 0;
            const double nx = (px - ax - along * dx) / r, ny = (py - ay - along * dy) / r;
            const double d2 = nx * nx + ny * ny;
            if (d2 > 1) continue;
            const double z = std::sqrt(1 - d2);
            double dark = 0.55 + 0.35 * (nx * 0.6 + ny * 0.8) - 0.35 * z;
            if (look.dithered) dark += 0.12 * Grain(x, y);
            canvas.pixels[static_cast<size_t>(y * canvas.width + x)] =
                static_cast<uint8_t>(RampIndex(ramp.first, ramp.count, dark));
        }
    }
}

// One frame of the figure's animation, `t` from 0 to 2 pi around its loop.
void DrawFigure(Canvas& c, const Look& look, const Placement& at, double t) {
    const double lift = look.action == 2 ? 10 * std::fabs(std::sin(t)) : 2.5 * std::fabs(std::sin(t));
    const double hipX = 32, hipY = 52 - lift + (look.action == 2 ? 6 : 0);
    const double limb = 18 * look.limbs, g = look.girth;
    auto leg = [&](double phase) {
        const double swing = look.action == 0 ? 0.55 : look.action == 2 ? 0.25 : 0.08;
        const double thigh = swing * std::sin(phase);
        const double knee = thigh - 0.9 * std::max(0.0, std::cos(phase)) * swing / 0.55;
        const double kx = hipX + limb * std::sin(thigh), ky = hipY + limb * std::cos(thigh);
        const double fx = kx + limb * std::sin(knee), fy = ky + limb * std::cos(knee);
        ShadedCapsule(c, look, kLegs, at, hipX, hipY, kx, ky, 4.5 * g);
        ShadedCapsule(c, look, kLegs, at, kx, ky, fx, fy, 4 * g);
        ShadedCapsule(c, look, kShoes, at, fx, fy, fx + 6, fy + 1, 2.6 * g);
    };
    auto arm = [&](double phase, bool waving) {
        double upper = -0.6 * std::sin(phase), lower = upper - 0.5 - 0.3 * std::cos(phase);
        if (waving) upper = 2.6 + 0.2 * std::sin(phase), lower = 3.0 + 0.6 * std::sin(2 * phase);
        const double sx = hipX + 1, sy = hipY - 22;
        const double ex = sx + 13 * look.limbs * std::sin(upper), ey = sy + 13 * look.limbs * std::cos(upper);
        const double hx = ex - 11 * look.limbs * std::sin(lower), hy = ey + 11 * look.limbs * std::cos(-lower);
        ShadedCapsule(c, look, kTop, at, sx, sy, ex, ey, 3.2 * g);
        ShadedCapsule(c, look, kSkin, at, ex, ey, hx, hy, 2.8 * g);
        if (waving) ShadedCapsule(c, look, kProp, at, hx, hy, hx + 3, hy - 9, 1.6);
    };
    leg(t + kPi);
    arm(t, false);
    ShadedCapsule(c, look, kTop, at, hipX, hipY - 2, hipX + 2, hipY - 22, 7.5 * g);
    const double headX = hipX + 3, headY = hipY - 22 - 14 * look.head;
    ShadedCapsule(c, look, kSkin, at, hipX + 2, hipY - 26, headX, headY + 6, 2.5 * g);
    ShadedCapsule(c, look, kSkin, at, headX, headY, headX, headY, 8.5 * look.head);
    ShadedCapsule(c, look, kHair, at, headX - 5, headY - 4, headX, headY - 5, 5.5 * look.head);
    c.Set(static_cast<int>(at.X(headX + 4)), static_cast<int>(at.Y(headY - 1)), 1);
    leg(t);
    arm(t + kPi, look.action == 1);
}

// The large frames stand their figures on a lit floor.
void DrawFloor(Canvas& c, const Look& look) {
    const Ramp ramp = look.ramps[kFloor];
    const int top = c.height * 4 / 5;
    for (int y = top; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const double u = (x + 0.5) / c.width - 0.5, v = static_cast<double>(y - top) / (c.height - top);
            double dark = 0.2 + 1.4 * u * u + 0.5 * v;
            if (look.dithered) dark += 0.1 * Grain(x, y);
            c.pixels[static_cast<size_t>(y * c.width + x)] =
                static_cast<uint8_t>(RampIndex(ramp.first, ramp.count, dark));
        }
    }
}

CostumeFrame DrawFrame(const BenchCostumeKind& kind, const Look& look, int figures, int frame,
                       double phase) {
    Canvas canvas(kind.width, kind.height);
    if (kind.width >= 128 && kind.height >= 128) DrawFloor(canvas, look);
    const double boxWidth = static_cast<double>(kind.width) / figures;
    const double scale = std::min(boxWidth / 64, kind.height / 96.0) * 0.95;
    for (int f = 0; f < figures; ++f) {
        const Placement at{f * boxWidth + (boxWidth - 64 * scale) / 2, kind.height - 96 * scale, scale};
        DrawFigure(canvas, look, at, 2 * kPi * frame / kind.frames + phase + f * 1.7);
    }
    canvas.Outline(0, 1);
    return canvas.ToFrame();
}

}  // namespace

BenchCostumeKind BenchKind(uint32_t costume) {
    const uint32_t kind = (costume - 1) % kBenchKindsPerCycle;
    // Every pairing of a size and a storage appears once in 40: 8 and 10 meet every 40.
    const SizeClass& size = kSizes[kind % std::size(kSizes)];
    const Storage& storage = kStorages[kind % std::size(kStorages)];
    return {storage.codec, storage.colours, size.width, size.height, size.frames};
}

CostumeDesign BenchCostume(uint32_t costume) {
    const BenchCostumeKind kind = BenchKind(costume);
    Random random{0xD0250u * 1000003u + costume};
    DemoPalette palette({28, 32, 52});
    palette.Add({14, 12, 20});
    const Look look = MakeLook(random, kind.colours, &palette);
    palette.PadTo(kind.colours);
    CostumeDesign design;
    design.codec = kind.codec;
    design.colours = std::move(palette.colours);
    const int figures = std::max(1, static_cast<int>(kind.width / (kind.height * 0.62)));
    const double phase = random.Between(0, 2 * kPi);
    for (int frame = 0; frame < kind.frames; ++frame)
        design.frames.push_back(DrawFrame(kind, look, figures, frame, phase));
    return design;
}

bool WriteBenchGame(const std::filesystem::path& directory, const std::string& baseName,
                    std::string* error) {
    GameLayout layout;
    layout.roomDisks.assign(kRooms + 1, 1);
    layout.roomDisks[0] = 0;
    for (uint32_t room = kRooms / 2 + 1; room <= kRooms; ++room) layout.roomDisks[room] = 2;
    layout.costumes.resize(kBenchCostumes + 1);
    struct Largest {
        uint64_t frames = 0, block = 0, frame = 0, costume = 0;
    } largest;
    std::string sizes;
    for (uint32_t costume = 1; costume <= kBenchCostumes; ++costume) {
        const CostumeDesign design = BenchCostume(costume);
        std::vector<uint8_t> block = BuildCostumeBlock(design);
        if (block.empty()) {
            *error = "costume " + std::to_string(costume) + " was refused by its encoder";
            return false;
        }
        uint64_t pixels = 0;
        for (const CostumeFrame& frame : design.frames) {
            const uint64_t area = uint64_t{frame.width} * frame.height;
            largest.frame = std::max(largest.frame, area);
            pixels += area;
        }
        largest.frames += design.frames.size();
        largest.block = std::max<uint64_t>(largest.block, block.size());
        largest.costume = std::max(largest.costume, pixels);
        layout.costumes[costume] = {static_cast<uint8_t>(1 + (costume - 1) / kCostumesPerRoom),
                                    std::move(block)};
        if (costume == 40 || costume == 400 || costume == kBenchCostumes) {
            char line[200];
            std::snprintf(line, sizeof line,
                          "%s\"%u\":{\"frames\":%llu,\"largest_block\":%llu,"
                          "\"largest_frame_pixels\":%llu,\"largest_costume_pixels\":%llu}",
                          sizes.empty() ? "" : ",", costume,
                          static_cast<unsigned long long>(largest.frames),
                          static_cast<unsigned long long>(largest.block),
                          static_cast<unsigned long long>(largest.frame),
                          static_cast<unsigned long long>(largest.costume));
            sizes += line;
        }
    }
    if (!WriteGame(directory, baseName, layout, error)) return false;
    std::ofstream json(directory / (baseName + ".json"));
    json << "{\"version\":" << kBenchGameVersion << ",\"costumes\":{" << sizes << "}}\n";
    json.close();
    if (!json) {
        *error = "cannot write " + (directory / (baseName + ".json")).string();
        return false;
    }
    return true;
}
