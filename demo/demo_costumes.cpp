#include "demo/demo_costumes.h"

#include <algorithm>
#include <cmath>

#include "demo/demo_canvas.h"

namespace {

constexpr Rgb kBackdrop{28, 32, 52};
constexpr Rgb kInk{14, 12, 20};
constexpr Rgb kBlack{0, 0, 0};

double Turn(int frame, int frames) {
    return 2 * kPi * frame / frames;
}

// How a costume is stored, and the count and size of its frames.
struct Sheet {
    uint16_t codec = 1;
    uint32_t colours = 16;  // the colour count, up to which the palette is padded
    int frames = 1;
    int width = 0;
    int height = 0;
};

// A costume of `sheet.frames` canvases, each drawn by `draw(canvas, frame)`.
template <typename Draw>
CostumeDesign Design(const Sheet& sheet, DemoPalette palette, Draw draw) {
    palette.PadTo(sheet.colours);
    CostumeDesign design;
    design.codec = sheet.codec;
    design.colours = std::move(palette.colours);
    for (int frame = 0; frame < sheet.frames; ++frame) {
        Canvas canvas(sheet.width, sheet.height);
        draw(canvas, frame);
        design.frames.push_back(canvas.ToFrame());
    }
    return design;
}

// Most palettes begin with the backdrop and the ink (colour 1) that Outlined draws around
// every shape where it meets the backdrop.
constexpr uint8_t kInkIndex = 1;

DemoPalette BackdropAndInk() {
    DemoPalette palette(kBackdrop);
    palette.Add(kInk);
    return palette;
}

template <typename Draw>
CostumeDesign Outlined(const Sheet& sheet, DemoPalette palette, Draw draw) {
    return Design(sheet, std::move(palette), [&](Canvas& canvas, int frame) {
        draw(canvas, frame);
        canvas.Outline(0, kInkIndex);
    });
}

}  // namespace

// A figure walking to the right: legs and arms swing in opposition, the body bobs.
CostumeDesign WalkingFigure() {
    const Sheet sheet{.codec = 1, .colours = 32, .frames = 8, .width = 64, .height = 96};
    DemoPalette p = BackdropAndInk();
    const uint8_t shadow = p.Add({18, 20, 34});
    const uint8_t skin = p.Ramp({250, 214, 178}, {196, 140, 104}, 3);
    const uint8_t shirt = p.Ramp({236, 96, 70}, {150, 44, 40}, 3);
    const uint8_t trousers = p.Ramp({84, 120, 200}, {40, 58, 120}, 3);
    const uint8_t shoe = p.Ramp({92, 64, 48}, {52, 36, 28}, 2);
    const uint8_t hair = p.Ramp({120, 72, 36}, {70, 40, 20}, 2);
    const uint8_t eye = p.Add({255, 255, 255});
    return Outlined(sheet, std::move(p), [&](Canvas& c, int frame) {
        const double t = Turn(frame, sheet.frames);
        const double hipX = 32, hipY = 52 + 2.5 * std::fabs(std::sin(t));
        c.Ellipse(32, 91, 15, 3, shadow);
        auto leg = [&](double phase, int shade) {
            const double thigh = 0.55 * std::sin(phase);
            const double knee = thigh - 0.9 * std::max(0.0, std::cos(phase));
            const double kx = hipX + 18 * std::sin(thigh), ky = hipY + 18 * std::cos(thigh);
            const double ax = kx + 18 * std::sin(knee), ay = ky + 18 * std::cos(knee);
            c.Capsule(hipX, hipY, kx, ky, 4.5, static_cast<uint8_t>(trousers + shade));
            c.Capsule(kx, ky, ax, ay, 4, static_cast<uint8_t>(trousers + shade));
            c.Capsule(ax, ay, ax + 6, ay + 1, 2.6, static_cast<uint8_t>(shoe + shade / 2));
        };
        auto arm = [&](double phase, int shade) {
            const double upper = -0.6 * std::sin(phase);
            const double lower = upper - 0.5 - 0.3 * std::cos(phase);
            const double sx = hipX + 1, sy = hipY - 22;
            const double ex = sx + 13 * std::sin(upper), ey = sy + 13 * std::cos(upper);
            const double hx = ex - 11 * std::sin(lower), hy = ey + 11 * std::cos(-lower);
            c.Capsule(sx, sy, ex, ey, 3.2, static_cast<uint8_t>(shirt + shade));
            c.Capsule(ex, ey, hx, hy, 2.8, static_cast<uint8_t>(skin + shade));
        };
        leg(t + kPi, 2);
        arm(t, 2);
        c.Capsule(hipX, hipY - 2, hipX + 2, hipY - 22, 7.5, shirt);
        c.Capsule(hipX - 4, hipY - 20, hipX - 2, hipY - 6, 3, static_cast<uint8_t>(shirt + 1));
        const double headX = hipX + 3, headY = hipY - 36;
        c.Capsule(hipX + 2, hipY - 26, headX, headY + 6, 2.5, skin);
        c.Ellipse(headX, headY, 8.5, 9, skin);
        c.Ellipse(headX - 2.5, headY - 4, 7.5, 5.5, hair);
        c.Ellipse(headX - 5, headY, 3.5, 6, static_cast<uint8_t>(hair + 1));
        c.Ellipse(headX + 8.5, headY + 1.5, 1.6, 1.6, skin);
        c.Set(static_cast<int>(headX + 4), static_cast<int>(headY - 1), eye);
        c.Set(static_cast<int>(headX + 5), static_cast<int>(headY - 1), kInkIndex);
        c.Ellipse(headX - 1, headY + 1, 2, 2.3, static_cast<uint8_t>(skin + 1));
        leg(t, 0);
        arm(t + kPi, 0);
    });
}

namespace {

// A gold coin turning about its vertical axis: a star on one face, a ring on the other.
CostumeDesign SpinningCoin() {
    const Sheet sheet{.codec = 5, .colours = 16, .frames = 12, .width = 48, .height = 48};
    DemoPalette p = BackdropAndInk();
    const uint8_t gold = p.Ramp({255, 244, 170}, {140, 88, 20}, 10);
    const uint8_t shine = p.Add({255, 255, 240});
    return Outlined(sheet, std::move(p), [&](Canvas& c, int frame) {
        const double angle = Turn(frame, sheet.frames), facing = std::cos(angle);
        const double rx = std::max(1.2, 19 * std::fabs(facing)), ry = 19;
        const double edge = 3.5 * std::sin(angle);
        c.Ellipse(24 + edge, 24, rx, ry, static_cast<uint8_t>(gold + 9));
        c.Capsule(24, 5, 24 + edge, 5, 0.1, static_cast<uint8_t>(gold + 9));
        c.Paint([&](double x, double y) {
            const double u = (x - 24) / rx, v = (y - 24) / ry, r = std::hypot(u, v);
            if (r > 1) return -1;
            if (r > 0.82) return RampIndex(gold, 10, 0.35 + 0.4 * (u + v + 1) / 2) + 0;
            const double light = 0.5 - 0.35 * (u * facing + v) / 1.4;
            double emboss = 0;
            if (facing > 0) {  // a five-pointed star
                const double a = std::atan2(v, u * std::copysign(1.0, facing)) + kPi / 2;
                const double spike = std::fabs(std::fmod(a * 5 / (2 * kPi) + 10, 1.0) - 0.5) * 2;
                emboss = r < 0.2 + 0.42 * (1 - spike) ? 0.25 : 0;
            } else if (r > 0.45 && r < 0.6) {
                emboss = 0.25;
            }
            return static_cast<int>(RampIndex(gold, 10, light - emboss));
        });
        const double band = std::fmod(frame * 0.22, 1.0) * 2 - 0.6;
        c.Paint([&](double x, double y) {
            const double u = (x - 24) / rx, v = (y - 24) / ry;
            if (u * u + v * v > 0.6 || std::fabs(u * 0.7 + v * 0.7 - band) > 0.07) return -1;
            return static_cast<int>(shine);
        });
    });
}

// A camp fire: flames that rise and flicker over two logs, looping seamlessly.
CostumeDesign Flame() {
    const Sheet sheet{.codec = 16, .colours = 64, .frames = 10, .width = 48, .height = 80};
    DemoPalette p(kBackdrop);
    const uint8_t wood = p.Ramp({130, 84, 50}, {60, 36, 24}, 4);
    const uint8_t fire = p.Ramp({90, 10, 10}, {200, 30, 10}, 16);
    p.Ramp({210, 50, 10}, {250, 150, 20}, 20);
    p.Ramp({252, 160, 30}, {255, 240, 120}, 15);
    p.Ramp({255, 244, 150}, {255, 255, 240}, 8);
    const int fireCount = p.Count() - fire;
    return Design(sheet, std::move(p), [&](Canvas& c, int frame) {
        const double phase = static_cast<double>(frame) / sheet.frames;
        c.Paint([&](double x, double y) {
            const double h = (74 - y) / 70;  // 0 at the embers, 1 at the tips
            if (h < 0) return -1;
            // Two layers of noise scrolling upwards, cross-faded so that the loop closes.
            auto turbulence = [&](double shift) {
                return Noise(x / 7, (y + shift * 40) / 7, 1000, 7) * 0.6 +
                       Noise(x / 3.5, (y + shift * 80) / 3.5, 1000, 11) * 0.4;
            };
            const double n = turbulence(phase) * (1 - phase) + turbulence(phase - 1) * phase;
            const double width = 17 * std::pow(1 - std::min(h, 1.0), 0.8) + 1;
            const double dx = std::fabs(x - 24 + (n - 0.5) * 10 * h);
            const double heat = (1 - dx / width) * (1.25 - h) + (n - 0.5) * 0.9;
            if (heat <= 0.08) return -1;
            return static_cast<int>(RampIndex(fire, fireCount, (heat - 0.08) * 1.3));
        });
        c.Capsule(8, 74, 40, 77, 3.2, wood);
        c.Capsule(10, 78, 38, 73, 3.2, static_cast<uint8_t>(wood + 2));
        c.Ellipse(24, 76, 6, 2, static_cast<uint8_t>(fire + 30));
    });
}

// A beach ball bouncing on the floor, squashing when it lands and spinning as it flies.
CostumeDesign BouncingBall() {
    const Sheet sheet{.codec = 1, .colours = 16, .frames = 12, .width = 64, .height = 96};
    DemoPalette p = BackdropAndInk();
    const uint8_t floor = p.Ramp({92, 84, 110}, {64, 58, 80}, 2);
    const uint8_t shadow = p.Add({40, 36, 56});
    const uint8_t red = p.Ramp({255, 110, 96}, {170, 30, 36}, 3);
    const uint8_t white = p.Ramp({255, 255, 255}, {180, 180, 196}, 3);
    const uint8_t blue = p.Ramp({110, 170, 255}, {30, 70, 170}, 3);
    const uint8_t yellow = p.Ramp({255, 230, 90}, {200, 150, 30}, 2);
    return Outlined(sheet, std::move(p), [&](Canvas& c, int frame) {
        const double t = static_cast<double>(frame) / sheet.frames;
        const double height = std::sin(kPi * t);  // 0 on the floor
        const double squash = 1 + 0.3 * std::pow(1 - height, 6);
        const double rx = 14 * squash, ry = 14 / squash;
        const double cx = 32, cy = 86 - ry - 56 * height;
        c.Paint([&](double, double y) { return y > 86 ? floor + (y > 90 ? 1 : 0) : -1; });
        c.Ellipse(32, 87, 15 - 7 * height, 2.5 - height, shadow);
        const double spin = Turn(frame, sheet.frames) / 2;
        c.Paint([&](double x, double y) {
            const double u = (x - cx) / rx, v = (y - cy) / ry, r2 = u * u + v * v;
            if (r2 > 1) return -1;
            const double w = std::sqrt(1 - r2);
            const double light = std::clamp(-0.45 * u - 0.6 * v + 0.65 * w, 0.0, 1.0);
            const int level = light > 0.75 ? 0 : light > 0.35 ? 1 : 2;
            if (std::hypot(u + 0.05, v + 0.95 - w * 0.1) < 0.18 && v < -0.7) return yellow + 0;
            const double around = std::atan2(w, u * std::cos(spin) - v * std::sin(spin)) + spin;
            const int stripe = static_cast<int>(std::floor(around / kPi * 3 + 6)) % 3;
            const uint8_t base = stripe == 0 ? red : stripe == 1 ? white : blue;
            return base + level;
        });
    });
}

// An eye that looks about and blinks.
CostumeDesign BlinkingEye() {
    const Sheet sheet{.codec = 5, .colours = 32, .frames = 8, .width = 96, .height = 56};
    DemoPalette p = BackdropAndInk();
    const uint8_t skin = p.Ramp({244, 200, 166}, {190, 130, 100}, 4);
    const uint8_t sclera = p.Ramp({255, 255, 255}, {200, 196, 210}, 3);
    const uint8_t iris = p.Ramp({150, 220, 120}, {30, 100, 50}, 6);
    const uint8_t pupil = p.Add({10, 10, 14}), glint = p.Add({255, 255, 255});
    const uint8_t brow = p.Ramp({110, 70, 40}, {70, 40, 24}, 2);
    const double openness[8] = {1, 1, 0.55, 0.05, 0.55, 1, 1, 1};
    const double gaze[8] = {0, 0, 0, 0, 0, 0, -9, 9};
    return Design(sheet, std::move(p), [&](Canvas& c, int frame) {
        const double cx = 48, cy = 30, halfWidth = 34;
        c.Ellipse(cx, cy + 1, 44, 24, static_cast<uint8_t>(skin + 1));
        c.Ellipse(cx - 2, cy - 2, 42, 20, skin);
        c.Paint([&](double x, double y) {  // the brow
            const double d = (x - cx) / 36;
            const double top = cy - 22 + 5 * d * d;
            return std::fabs(d) < 1 && y > top && y < top + 4 ? brow + (y > top + 2.5 ? 1 : 0) : -1;
        });
        const double open = openness[frame];
        auto upper = [&](double x) {
            const double d = (x - cx) / halfWidth;
            return cy - 15 * open * (1 - d * d);
        };
        auto lower = [&](double x) {
            const double d = (x - cx) / halfWidth;
            return cy + 9 * (1 - d * d) * std::max(open, 0.2);
        };
        c.Paint([&](double x, double y) {
            if (std::fabs(x - cx) >= halfWidth || y < upper(x) || y > lower(x)) return -1;
            const double ix = x - cx - gaze[frame], iy = y - cy + 1, ir = std::hypot(ix, iy);
            if (ir < 4.8) return pupil + 0;
            if (std::hypot(ix + 3.5, iy + 4) < 2) return glint + 0;
            if (ir < 11) return RampIndex(iris, 6, (ir - 4.8) / 6.2 * 0.7 + (iy > 0 ? 0.3 : 0));
            const double edge = std::fabs(x - cx) / halfWidth;
            return RampIndex(sclera, 3, edge * edge + (y - upper(x) < 3 ? 0.6 : 0));
        });
        c.Paint([&](double x, double y) {  // the lid's line and its lashes
            if (std::fabs(x - cx) >= halfWidth + 1) return -1;
            const double lid = upper(x);
            if (y >= lid - 1.5 && y < lid + 0.5) return kInkIndex + 0;
            const int column = static_cast<int>(x);
            if (column % 5 == 0 && std::fabs(x - cx) < halfWidth - 6 && y < lid && y > lid - 4.5) {
                return kInkIndex + 0;
            }
            return y > lid - 6 && y < lid - 1.5 ? skin + 3 : -1;
        });
        c.Paint([&](double x, double y) {
            if (std::fabs(x - cx) >= halfWidth) return -1;
            return std::fabs(y - lower(x) - 0.5) < 1 ? skin + 2 : -1;
        });
    });
}

// A striped flag with a white disc, rippling in the wind on its pole.
CostumeDesign WavingFlag() {
    const Sheet sheet{.codec = 1, .colours = 64, .frames = 10, .width = 104, .height = 80};
    DemoPalette p = BackdropAndInk();
    const uint8_t pole = p.Ramp({220, 220, 230}, {110, 110, 130}, 4);
    const uint8_t knob = p.Ramp({255, 230, 120}, {180, 130, 30}, 3);
    const uint8_t teal = p.Ramp({120, 240, 220}, {10, 90, 90}, 12);
    const uint8_t amber = p.Ramp({255, 236, 140}, {170, 110, 10}, 12);
    const uint8_t crimson = p.Ramp({255, 130, 140}, {110, 10, 40}, 12);
    const uint8_t disc = p.Ramp({255, 255, 255}, {150, 150, 170}, 8);
    return Outlined(sheet, std::move(p), [&](Canvas& c, int frame) {
        const double phase = Turn(frame, sheet.frames);
        auto wave = [&](double u) { return 5 * u * std::sin(2 * kPi * u * 1.3 - phase); };
        auto slope = [&](double u) {
            return 5 * std::sin(2 * kPi * u * 1.3 - phase) +
                   5 * u * 2 * kPi * 1.3 * std::cos(2 * kPi * u * 1.3 - phase);
        };
        c.Paint([&](double x, double y) {
            if (x < 11 || x > 95) return -1;
            const double u = (x - 11) / 84, top = 10 + wave(u), v = (y - top) / 46;
            if (v < 0 || v > 1) return -1;
            const double light = std::clamp(0.45 + slope(u) / 40, 0.0, 1.0);
            const double du = (u - 0.42) * 84 / 46, dv = v - 0.5;
            if (std::hypot(du, dv) < 0.24) return RampIndex(disc, 8, light);
            const uint8_t stripe = v < 1.0 / 3 ? teal : v < 2.0 / 3 ? amber : crimson;
            return RampIndex(stripe, 12, light);
        });
        c.Paint([&](double x, double y) {
            if (x < 6 || x >= 10 || y < 7 || y > 79) return -1;
            return pole + static_cast<int>(x - 6);
        });
        c.Ellipse(8, 5.5, 3.5, 3.5, knob);
        c.Ellipse(7.2, 4.6, 1.5, 1.5, static_cast<uint8_t>(knob + 1) - 1);
    });
}

// A pinwheel on a stick, turning.
CostumeDesign Pinwheel() {
    const Sheet sheet{.codec = 16, .colours = 16, .frames = 8, .width = 64, .height = 88};
    DemoPalette p = BackdropAndInk();
    const uint8_t stick = p.Ramp({200, 150, 100}, {130, 90, 50}, 2);
    const uint8_t bladeA = p.Ramp({255, 150, 180}, {190, 40, 100}, 3);
    const uint8_t bladeB = p.Ramp({140, 220, 255}, {30, 110, 200}, 3);
    const uint8_t pin = p.Ramp({255, 240, 150}, {200, 160, 40}, 2);
    return Outlined(sheet, std::move(p), [&](Canvas& c, int frame) {
        const double cx = 32, cy = 30, turn = Turn(frame, sheet.frames) / 2;
        c.Capsule(cx + 1, cy, cx + 3, 86, 2, stick);
        c.Capsule(cx + 2, cy, cx + 4, 86, 0.6, static_cast<uint8_t>(stick + 1));
        c.Paint([&](double x, double y) {
            const double r = std::hypot(x - cx, y - cy);
            double a = std::atan2(y - cy, x - cx) - turn;
            a = std::fmod(a + 8 * kPi, 2 * kPi);
            const int blade = static_cast<int>(a / (kPi / 2));
            const double within = std::fmod(a, kPi / 2) / (kPi / 2);  // 0 at the leading edge
            if (r > 28 * (1 - 0.55 * within) + 2 || r > 29) return -1;
            const double light = within < 0.25 ? 0 : within < 0.6 ? 0.5 : 1;
            return RampIndex(blade % 2 ? bladeA : bladeB, 3, light);
        });
        c.Ellipse(cx, cy, 3.5, 3.5, pin);
        c.Ellipse(cx - 1, cy - 1, 1.3, 1.3, static_cast<uint8_t>(pin + 1) - 1);
    });
}

// A striped reef fish swimming on the spot while bubbles rise.
CostumeDesign SwimmingFish() {
    const Sheet sheet{.codec = 5, .colours = 64, .frames = 8, .width = 104, .height = 64};
    DemoPalette p = BackdropAndInk();
    const uint8_t orange = p.Ramp({255, 190, 90}, {210, 80, 10}, 8);
    const uint8_t white = p.Ramp({255, 255, 255}, {190, 200, 215}, 4);
    const uint8_t fin = p.Ramp({250, 140, 50}, {170, 60, 10}, 3);
    const uint8_t bubble = p.Ramp({220, 240, 255}, {110, 150, 200}, 3);
    const uint8_t eye = p.Add({255, 255, 255}), pupil = p.Add({10, 10, 20});
    return Outlined(sheet, std::move(p), [&](Canvas& c, int frame) {
        const double t = Turn(frame, sheet.frames), cx = 58, cy = 30 + 1.5 * std::sin(t);
        const double tail = 0.45 * std::sin(t);
        const double tx = cx - 30, ty = cy;
        c.Polygon({tx + 4, ty, tx - 16, ty - 13 + 10 * tail, tx - 11, ty + 10 * tail, tx - 16,
                   ty + 13 + 10 * tail},
                  fin);
        c.Polygon({cx - 8, cy - 14, cx + 4, cy - 23, cx + 12, cy - 12},
                  static_cast<uint8_t>(fin + 1));
        c.Paint([&](double x, double y) {
            const double u = (x - cx) / 32, v = (y - cy) / 15;
            if (u * u + v * v > 1) return -1;
            const double bend = u + 0.08 * tail * (1 - u) * (1 - u);
            const double band = std::fabs(std::fmod(bend * 2.2 + 4.6, 1.0) - 0.5);
            if (bend > -0.85 && bend < 0.55 && band < 0.14) {
                return RampIndex(white, 4, (v + 1) / 2);
            }
            if (bend > -0.85 && bend < 0.55 && band < 0.2) return kInkIndex + 0;
            return RampIndex(orange, 8, (v + 1) / 2 * 0.85 + (u < -0.8 ? 0.15 : 0));
        });
        c.Polygon({cx - 2, cy + 8, cx + 6, cy + 16 + 3 * tail, cx + 10, cy + 9}, fin);
        c.Ellipse(cx + 20, cy - 4, 4, 4, eye);
        c.Ellipse(cx + 21, cy - 4, 2, 2.2, pupil);
        for (int i = 0; i < 4; ++i) {
            const double rise = std::fmod(frame * 6.0 + i * 16, 64);
            const double bx = cx + 36 + 3 * std::sin(rise / 6 + i), by = 62 - rise;
            c.Ellipse(bx, by, 1.5 + i % 2, 1.5 + i % 2, static_cast<uint8_t>(bubble + 2));
            c.Set(static_cast<int>(bx - 0.5), static_cast<int>(by - 0.5), bubble);
        }
    });
}

// A small blue bird flapping its wings.
CostumeDesign FlappingBird() {
    const Sheet sheet{.codec = 16, .colours = 32, .frames = 8, .width = 88, .height = 72};
    DemoPalette p = BackdropAndInk();
    const uint8_t body = p.Ramp({130, 190, 255}, {40, 80, 180}, 5);
    const uint8_t belly = p.Ramp({255, 250, 230}, {220, 200, 170}, 3);
    const uint8_t wing = p.Ramp({90, 140, 230}, {20, 40, 120}, 4);
    const uint8_t beak = p.Ramp({255, 200, 60}, {220, 120, 20}, 2);
    const uint8_t eye = p.Add({255, 255, 255}), pupil = p.Add({10, 10, 20});
    return Outlined(sheet, std::move(p), [&](Canvas& c, int frame) {
        const double t = Turn(frame, sheet.frames), flap = std::sin(t);
        const double cx = 42, cy = 40 - 3 * flap;
        // A wing is a long ellipse hinged at the shoulder, with three feathers at its tip.
        auto wingShape = [&](uint8_t colour, double lift, double reach) {
            const double sx = cx - 4, sy = cy - 5, angle = kPi + 0.35 - 1.1 * lift;
            const double dx = std::cos(angle), dy = std::sin(angle), length = 15 * reach;
            const double mx = sx + dx * length, my = sy + dy * length;
            c.Paint([&](double x, double y) {
                const double along = (x - mx) * dx + (y - my) * dy;
                const double across = -(x - mx) * dy + (y - my) * dx;
                const double u = along / (length + 1), v = across / 6.5;
                return u * u + v * v <= 1 ? colour + 0 : -1;
            });
            for (int feather = -1; feather <= 1; ++feather) {
                const double spread = angle + 0.2 * feather;
                const double fx = mx + dx * length * 0.6, fy = my + dy * length * 0.6;
                c.Capsule(fx, fy, fx + std::cos(spread) * 11 * reach,
                          fy + std::sin(spread) * 11 * reach, 2.2,
                          static_cast<uint8_t>(colour + (feather == 0 ? 1 : 0)));
            }
        };
        wingShape(static_cast<uint8_t>(wing + 3), flap * 0.8, 0.7);
        c.Polygon({cx - 18, cy + 2, cx - 34, cy - 4, cx - 32, cy + 8},
                  static_cast<uint8_t>(body + 4));
        c.Paint([&](double x, double y) {
            const double u = (x - cx) / 20, v = (y - cy) / 13;
            if (u * u + v * v > 1) return -1;
            if (v > 0.1 && u > -0.6) return RampIndex(belly, 3, v);
            return RampIndex(body, 5, (v + 1) / 2 + 0.2 * u * u);
        });
        c.Ellipse(cx + 18, cy - 10, 10, 9.5, static_cast<uint8_t>(body + 1));
        c.Ellipse(cx + 16, cy - 13, 7, 5, body);
        c.Polygon({cx + 26, cy - 13, cx + 36, cy - 9, cx + 26, cy - 6}, beak);
        c.Polygon({cx + 26, cy - 9, cx + 33, cy - 8, cx + 26, cy - 6},
                  static_cast<uint8_t>(beak + 1));
        c.Ellipse(cx + 21, cy - 12, 2.6, 2.6, eye);
        c.Ellipse(cx + 22, cy - 12, 1.3, 1.5, pupil);
        wingShape(wing, flap, 1);
    });
}

// A heart beating twice and resting. It has 256 colours but uses 16: the colour count that
// makes codec 1 split its run bytes four and four.
CostumeDesign BeatingHeart() {
    const Sheet sheet{.codec = 1, .colours = 256, .frames = 8, .width = 72, .height = 68};
    DemoPalette p = BackdropAndInk();
    const uint8_t glow = p.Add({70, 36, 64});
    const uint8_t red = p.Ramp({255, 120, 130}, {120, 0, 30}, 10);
    const uint8_t shine = p.Ramp({255, 255, 255}, {255, 200, 210}, 2);
    const double beat[8] = {0, 0.9, 0.3, 1, 0.4, 0.1, 0, 0};
    return Outlined(sheet, std::move(p), [&](Canvas& c, int frame) {
        const double scale = 24 * (1 + 0.14 * beat[frame]);
        auto inside = [&](double x, double y, double s) {
            const double u = (x - 36) / s, v = -(y - 36) / s + 0.15;
            const double a = u * u + v * v - 1;
            return a * a * a - u * u * v * v * v <= 0;
        };
        if (beat[frame] > 0.5) {
            c.Paint([&](double x, double y) { return inside(x, y, scale * 1.12) ? glow + 0 : -1; });
        }
        c.Paint([&](double x, double y) {
            if (!inside(x, y, scale)) return -1;
            const double u = (x - 36) / scale, v = (y - 36) / scale;
            if (std::hypot(u + 0.5, v + 0.45) < 0.13) return shine + 0;
            if (std::hypot(u + 0.32, v + 0.6) < 0.07) return shine + 1;
            return RampIndex(red, 10, 0.2 + 0.45 * (u + v + 1) / 1.6);
        });
    });
}

// A wall clock whose minute hand goes round once. 128 colours, 16 of them used.
CostumeDesign WallClock() {
    const Sheet sheet{.codec = 1, .colours = 128, .frames = 12, .width = 68, .height = 68};
    DemoPalette p = BackdropAndInk();
    const uint8_t rim = p.Ramp({230, 180, 90}, {120, 70, 30}, 4);
    const uint8_t face = p.Ramp({255, 252, 236}, {214, 204, 180}, 4);
    const uint8_t hand = p.Add({40, 40, 56}), second = p.Add({220, 40, 40});
    const uint8_t tick = p.Add({90, 90, 110});
    return Outlined(sheet, std::move(p), [&](Canvas& c, int frame) {
        const double cx = 34, cy = 34;
        c.Paint([&](double x, double y) {
            const double u = x - cx, v = y - cy, r = std::hypot(u, v);
            if (r > 31) return -1;
            if (r > 26) return RampIndex(rim, 4, (u + v) / 62 + 0.5);
            return RampIndex(face, 4, r / 26 * 0.6 + (u + v > 0 ? 0.3 : 0));
        });
        for (int hour = 0; hour < 12; ++hour) {
            const double a = Turn(hour, 12), inner = hour % 3 == 0 ? 19 : 22;
            c.Capsule(cx + inner * std::sin(a), cy - inner * std::cos(a), cx + 24 * std::sin(a),
                      cy - 24 * std::cos(a), hour % 3 == 0 ? 1.1 : 0.6, tick);
        }
        const double minute = Turn(frame, sheet.frames), hourAngle = Turn(10, 12) + minute / 12;
        c.Capsule(cx, cy, cx + 13 * std::sin(hourAngle), cy - 13 * std::cos(hourAngle), 2, hand);
        c.Capsule(cx, cy, cx + 21 * std::sin(minute), cy - 21 * std::cos(minute), 1.3, hand);
        const double seconds = -minute * 5;
        c.Capsule(cx - 5 * std::sin(seconds), cy + 5 * std::cos(seconds),
                  cx + 22 * std::sin(seconds), cy - 22 * std::cos(seconds), 0.5, second);
        c.Ellipse(cx, cy, 2.2, 2.2, second);
    });
}

// A night sky over hills, stars twinkling and a crescent moon: 256 colours in codec 5.
CostumeDesign NightSky() {
    const Sheet sheet{.codec = 5, .colours = 256, .frames = 8, .width = 160, .height = 100};
    DemoPalette p(kBlack);
    const int skyCount = 200;
    const uint8_t sky = p.Ramp({8, 10, 40}, {110, 60, 120}, skyCount);
    const uint8_t hill = p.Ramp({20, 30, 40}, {10, 14, 20}, 4);
    const uint8_t star = p.Ramp({255, 255, 220}, {120, 120, 160}, 6);
    const uint8_t moon = p.Ramp({255, 250, 210}, {190, 180, 140}, 6);
    const uint8_t window = p.Add({255, 210, 100});
    return Design(sheet, std::move(p), [&](Canvas& c, int frame) {
        c.Paint([&](double, double y) { return RampIndex(sky, skyCount, y / 100); });
        for (int i = 0; i < 40; ++i) {
            const int x = (i * 37 + 11) % 160, y = (i * 53 + 7) % 70;
            const double twinkle = 0.5 + 0.5 * std::sin(Turn(frame, sheet.frames) + i * 1.7);
            const auto colour = static_cast<uint8_t>(RampIndex(star, 6, 1 - twinkle));
            c.Set(x, y, colour);
            if (twinkle > 0.8 && i % 3 == 0) {
                c.Set(x - 1, y, star + 4);
                c.Set(x + 1, y, star + 4);
                c.Set(x, y - 1, star + 4);
                c.Set(x, y + 1, star + 4);
            }
        }
        c.Paint([&](double x, double y) {
            const double u = x - 124, v = y - 24;
            if (std::hypot(u, v) > 13 || std::hypot(u - 6, v - 3) < 11) return -1;
            return RampIndex(moon, 6, (u + v + 13) / 26);
        });
        c.Paint([&](double x, double y) {
            const double far = 76 + 6 * std::sin(x / 23) + 3 * std::sin(x / 7 + 1);
            const double near = 86 + 5 * std::sin(x / 31 + 2);
            if (y > near) return hill + 3;
            return y > far ? hill + 1 : -1;
        });
        c.Paint([&](double x, double y) {
            const bool house = x > 30 && x < 46 && y > 78 && y < 90;
            const bool roof = y <= 78 && y > 70 && std::fabs(x - 38) < (y - 70) + 1;
            if (!house && !roof) return -1;
            const bool lit = ((static_cast<int>(x) - 33) % 6 < 3) && y > 81 && y < 85 && x < 44;
            return lit && (frame % 4 != 3 || x < 38) ? window + 0 : hill + 2;
        });
    });
}

// Colour plasma cycling through a 240-colour rainbow: the whole palette in codec 16.
CostumeDesign Plasma() {
    const Sheet sheet{.codec = 16, .colours = 256, .frames = 8, .width = 96, .height = 96};
    DemoPalette p(kBackdrop);
    const int rainbowCount = 240;
    const uint8_t rainbow = p.Count();
    for (int i = 0; i < rainbowCount; ++i) {
        const double a = 2 * kPi * i / rainbowCount;
        auto channel = [&](double shift) {
            return static_cast<uint8_t>(std::lround(127.5 + 127.5 * std::sin(a + shift)));
        };
        p.Add({channel(0), channel(2 * kPi / 3), channel(4 * kPi / 3)});
    }
    const uint8_t ink = p.Add(kInk);
    return Design(sheet, std::move(p), [&](Canvas& c, int frame) {
        c.Paint([&](double x, double y) {
            const double u = x - 48, v = y - 48;
            if (std::hypot(u, v) > 46) return -1;
            const double value = std::sin(x / 9) + std::sin(y / 7) + std::sin((x + y) / 13) +
                                 std::sin(std::hypot(u, v) / 6);
            const double cycle = value / 8 + 0.5 + static_cast<double>(frame) / sheet.frames;
            const int step = static_cast<int>(std::floor(cycle * rainbowCount)) % rainbowCount;
            return rainbow + step;
        });
        c.Outline(0, ink);
    });
}

// A sunset over the sea, larger than half the screen: with zoom the viewer cuts it off.
CostumeDesign Sunset() {
    const Sheet sheet{.codec = 16, .colours = 256, .frames = 4, .width = 400, .height = 300};
    DemoPalette p(kBlack);
    const int skyCount = 120, seaCount = 60;
    const uint8_t sky = p.Ramp({40, 20, 80}, {255, 150, 60}, skyCount);
    const uint8_t sea = p.Ramp({40, 40, 90}, {10, 16, 40}, seaCount);
    const uint8_t sun = p.Ramp({255, 250, 200}, {255, 170, 60}, 12);
    const uint8_t glitter = p.Ramp({255, 220, 150}, {220, 120, 60}, 6);
    const uint8_t mountain = p.Ramp({70, 40, 80}, {30, 20, 44}, 6);
    const uint8_t bird = p.Add({24, 16, 30});
    return Design(sheet, std::move(p), [&](Canvas& c, int frame) {
        const double horizon = 190, sunY = 140 + 18.0 * frame, sunX = 250;
        c.Paint([&](double x, double y) {
            if (y < horizon) {
                const double glow = std::max(0.0, 1 - std::hypot(x - sunX, (y - sunY) * 1.6) / 260);
                return RampIndex(sky, skyCount, y / horizon * 0.75 + glow * 0.35);
            }
            return RampIndex(sea, seaCount, (y - horizon) / (300 - horizon));
        });
        c.Paint([&](double x, double y) {
            const double r = std::hypot(x - sunX, y - sunY);
            if (r > 34 || y >= horizon) return -1;
            return RampIndex(sun, 12, r / 34);
        });
        c.Paint([&](double x, double y) {
            const double ridge = 150 + 18 * std::sin(x / 37) + 9 * std::sin(x / 13 + 2) + x / 16 +
                                 std::max(0.0, x - 150) * 0.9;
            if (y < ridge || y >= horizon) return -1;
            return RampIndex(mountain, 6, (y - ridge) / 40);
        });
        c.Paint([&](double x, double y) {
            if (y <= horizon) return -1;
            const double depth = (y - horizon) / (300 - horizon);
            const double spread = 16 + 50 * depth;
            const double n = Noise(x / 6, y / 1.5 + frame * 7, 1000, 23);
            if (std::fabs(x - sunX) > spread * (0.5 + n) || n < 0.62) return -1;
            return RampIndex(glitter, 6, depth + (1 - n));
        });
        for (int i = 0; i < 3; ++i) {
            const double bx = 90 + i * 34 + frame * 6, by = 70 + i * 12 - (i == 1 ? 8 : 0);
            const double wing = frame % 2 == 0 ? 4 : -2;
            c.Capsule(bx - 7, by - wing, bx, by, 0.9, bird);
            c.Capsule(bx, by, bx + 7, by - wing, 0.9, bird);
        }
    });
}

// A little ghost floating: it lives in a room whose disk file is not written.
CostumeDesign FloatingGhost() {
    const Sheet sheet{.codec = 5, .colours = 16, .frames = 4, .width = 48, .height = 56};
    DemoPalette p = BackdropAndInk();
    const uint8_t cloth = p.Ramp({255, 255, 255}, {170, 180, 210}, 4);
    const uint8_t eye = p.Add({30, 30, 60});
    return Outlined(sheet, std::move(p), [&](Canvas& c, int frame) {
        const double lift = 3 * std::sin(Turn(frame, sheet.frames));
        c.Paint([&](double x, double y) {
            const double u = x - 24, v = y - 22 - lift;
            const double hem = 48 + lift + 3 * std::sin(x / 3 + frame * kPi / 2);
            if (y > hem || (v < 0 && std::hypot(u, v) > 16) || std::fabs(u) > 16) return -1;
            return RampIndex(cloth, 4, (u + 16) / 32);
        });
        c.Ellipse(19, 20 + lift, 2.5, 3.5, eye);
        c.Ellipse(29, 20 + lift, 2.5, 3.5, eye);
    });
}

}  // namespace

std::vector<DemoCostume> DesignDemoCostumes() {
    return {
        {"walking figure", 1, WalkingFigure()},
        {"spinning coin", 1, SpinningCoin()},
        {"camp fire", 2, Flame()},
        {"bouncing ball", 2, BouncingBall()},
        {"blinking eye", 3, BlinkingEye()},
        {"waving flag", 3, WavingFlag()},
        {"pinwheel", 4, Pinwheel()},
        {"reef fish", 5, SwimmingFish()},
        {"bird", 5, FlappingBird()},
        {"beating heart", 6, BeatingHeart()},
        {"wall clock", 6, WallClock()},
        {"night sky", 7, NightSky()},
        {"plasma", 7, Plasma()},
        {"sunset", 7, Sunset()},
        {"ghost", 8, FloatingGhost()},
    };
}
