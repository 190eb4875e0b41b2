#include "export/game_diff.h"

#include <algorithm>
#include <cstdio>

#include "costume/costume_palette.h"
#include "costume/decode_budget.h"
#include "export/export_game.h"
#include "export/output_file.h"
#include "export/output_names.h"
#include "export/png_writer.h"

namespace {

using Json = nlohmann::ordered_json;

// A page shows at most this many differing frames of one costume; the JSON lists them all.
constexpr uint32_t kPicturedPerCostume = 256;

// One frame of one side: rendered, or why not.
struct SideFrame {
    bool present = false;  // the costume has this frame
    bool read = false;
    IndexedImage image;
    std::string error;
};

struct DiffRun {
    const DiffOptions& options;
    ExportReport& report;
    GameDiff& diff;
    ExportGame a, b;
    uint64_t runPixels = 0;
    bool stopped = false;  // the run's budget is spent: the costumes after are left alone

    DiffRun(const DiffOptions& asked, ExportReport& to, GameDiff& into)
        : options(asked), report(to), diff(into) {}

    bool Pictures() const { return !options.outDirectory.empty(); }
};

// Runs `step` with the core's messages only heard, and returns them joined.
template <typename Step>
std::string Quietly(ExportReport& report, Step step) {
    std::vector<std::string> heard;
    std::vector<std::string>* before = report.heard;
    const bool wasQuiet = report.quiet;
    report.heard = &heard;
    report.quiet = true;
    step();
    report.quiet = wasQuiet;
    report.heard = before;
    return JoinMessages(heard);
}

DiffSide SideOf(const ExportCostume& costume) {
    DiffSide side;
    side.result = costume.result;
    if (costume.result == CostumeLoadResult::Failed) side.error = costume.whyNot;
    if (!costume.loaded.Loaded()) return side;
    const Costume& loaded = *costume.loaded.costume;
    side.frameCount = loaded.FrameCount();
    side.codec = loaded.Codec();
    side.colourCount = loaded.colourCount;
    return side;
}

// What decoding every frame of the costume takes, each frame at least kFrameDecodeCharge,
// as export counts it.
uint64_t DecodeCharge(Costume& costume, ExportReport& report) {
    uint64_t pixels = 0;
    Quietly(report, [&] {
        for (uint32_t frame = 1; frame <= costume.FrameCount(); ++frame) {
            const uint64_t area =
                costume.SelectFrame(static_cast<uint16_t>(frame))
                    ? uint64_t{costume.FrameWidth()} * costume.FrameHeight()
                    : 0;
            pixels += std::max(area, kFrameDecodeCharge);
        }
    });
    return pixels;
}

// False, with a refusal, when the two costumes may not be decoded.
bool Charge(DiffRun& run, uint32_t number, Costume& a, Costume& b) {
    const uint64_t chargeA = DecodeCharge(a, run.report);
    const uint64_t chargeB = DecodeCharge(b, run.report);
    run.report.subject = CostumeSubject(number);
    if (std::max(chargeA, chargeB) > kCostumeDecodePixelBudget) {
        run.report.Refusal("Costume " + std::to_string(number) + " has more than " +
                           std::to_string(kCostumeDecodePixelBudget) +
                           " pixels of frames to decode, more than any real costume: not "
                           "compared.");
        return false;
    }
    run.runPixels += chargeA + chargeB;
    if (run.runPixels <= kRunDecodePixelBudget) return true;
    run.stopped = true;
    run.report.Refusal("Costume " + std::to_string(number) +
                       " and the costumes after it are not compared: this command has reached "
                       "its limit of " +
                       std::to_string(kRunDecodePixelBudget) +
                       " pixels of frames, more than any real game has.");
    return false;
}

// Frame `frame` of a side: its size always, its pixels when `render` is set.
SideFrame ReadFrame(ExportReport& report, Costume& costume, uint16_t frame, bool render) {
    SideFrame side;
    side.present = frame <= costume.FrameCount();
    if (!side.present) return side;
    side.error = Quietly(report, [&] {
        side.read = costume.SelectFrame(frame) &&
                    (!render || costume.Render(&side.image, 0, 0));
        if (side.read && !render) {
            side.image.width = costume.FrameWidth();
            side.image.height = costume.FrameHeight();
        }
    });
    if (side.read) side.error.clear();
    if (!side.read && side.error.empty()) side.error = "Failed to draw frame.";
    return side;
}

uint64_t DifferingPixels(const IndexedImage& a, const IndexedImage& b) {
    uint64_t differing = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) differing += a.pixels[i] != b.pixels[i];
    return differing;
}

// Whether the frame differs, and how, into `difference`.
bool CompareFrames(const SideFrame& a, const SideFrame& b, FrameDifference* difference) {
    difference->a = {a.image.width, a.image.height};
    difference->b = {b.image.width, b.image.height};
    difference->errorA = a.error;
    difference->errorB = b.error;
    if (!b.present) {
        difference->change = FrameChange::OnlyInA;
        return true;
    }
    if (!a.present) {
        difference->change = FrameChange::OnlyInB;
        return true;
    }
    if (!a.read || !b.read) {
        difference->change = FrameChange::Error;
        return a.error != b.error;
    }
    if (a.image.width != b.image.width || a.image.height != b.image.height) {
        difference->change = FrameChange::Size;
        return true;
    }
    difference->change = FrameChange::Pixels;
    difference->pixels = DifferingPixels(a.image, b.image);
    return difference->pixels > 0;
}

// The page's pictures of one frame: written only where the page is to show them.
struct FramePictures {
    DiffRun& run;

    bool Write(const std::string& name, const PngPicture& picture) {
        const std::string path = JoinPath(run.options.outDirectory, name);
        run.report.subject = path;
        if (HidesGameFile(*run.b.archive, path)) {
            run.report.Error("Refusing to write over a game file: " + path);
            return false;
        }
        return WriteOutputFile(
            *run.a.archive, path, true,
            [&](std::FILE* file, std::string* error) { return WritePng(file, picture, error); },
            run.report);
    }

    bool Side(const std::string& name, const IndexedImage& image) {
        const uint32_t scale = run.options.scale;
        std::vector<uint8_t> row(size_t{image.width} * scale);
        const PngPicture picture{image.width * scale, image.height * scale, image.palette.data(),
                                 {}, [&](uint32_t y) {
                                     const uint8_t* source =
                                         &image.pixels[size_t{y / scale} * image.width];
                                     for (size_t x = 0; x < row.size(); ++x) {
                                         row[x] = source[x / scale];
                                     }
                                     return row.data();
                                 }};
        return Write(name, picture);
    }

    // Both frames' area: the pixels that agree dimmed to grey, those that differ (or that
    // only one side covers) magenta, and what neither covers light grey.
    bool Differences(const std::string& name, const SideFrame& a, const SideFrame& b) {
        const IndexedImage* sides[2] = {a.read ? &a.image : nullptr, b.read ? &b.image : nullptr};
        uint32_t width = 0, height = 0;
        for (const IndexedImage* side : sides) {
            if (side == nullptr) continue;
            width = std::max<uint32_t>(width, side->width);
            height = std::max<uint32_t>(height, side->height);
        }
        const uint32_t scale = run.options.scale;
        std::vector<uint8_t> row(size_t{width} * scale * 3);
        const PngPicture picture{width * scale, height * scale, nullptr, {}, [&](uint32_t y) {
                                     for (uint32_t x = 0; x < width * scale; ++x) {
                                         Colour(sides, x / scale, y / scale, &row[size_t{x} * 3]);
                                     }
                                     return row.data();
                                 }};
        return width > 0 && height > 0 && Write(name, picture);
    }

    static void Colour(const IndexedImage* const sides[2], uint32_t x, uint32_t y, uint8_t* rgb) {
        int covering = 0;
        int index[2] = {-1, -1};
        for (int side = 0; side < 2; ++side) {
            const IndexedImage* image = sides[side];
            if (image == nullptr || x >= image->width || y >= image->height) continue;
            index[side] = image->pixels[size_t{y} * image->width + x];
            ++covering;
        }
        if (covering == 0) {
            std::fill_n(rgb, 3, uint8_t{224});
        } else if (covering == 1 || index[0] != index[1]) {
            rgb[0] = 255;
            rgb[1] = 0;
            rgb[2] = 255;
        } else {
            const uint8_t* colour = &sides[1]->palette[size_t(index[1]) * 3];
            const auto grey = static_cast<uint8_t>(
                96 + (colour[0] * 3 + colour[1] * 6 + colour[2]) / 20);
            std::fill_n(rgb, 3, grey);
        }
    }

    // All of a frame's pictures; true when every one the page would link to was written.
    bool Frame(uint32_t number, uint16_t frame, const SideFrame& a, const SideFrame& b) {
        bool written = true;
        const SideFrame* sides[2] = {&a, &b};
        for (int side = 0; side < 2; ++side) {
            const SideFrame& one = *sides[side];
            if (!one.read || one.image.width == 0 || one.image.height == 0) continue;
            written = Side(DiffPictureName(number, frame, side == 0 ? 'a' : 'b'), one.image) &&
                      written;
        }
        return Differences(DiffPictureName(number, frame, 'd'), a, b) && written;
    }
};

void ComparePalettes(const Costume& a, const Costume& b, CostumeDifference* difference) {
    const CostumePalette paletteA = PaletteOf(a);
    const CostumePalette paletteB = PaletteOf(b);
    for (uint32_t index = 0; index < kCostumePaletteEntries; ++index) {
        PaletteChange change{static_cast<uint8_t>(index), {}, {}};
        std::copy_n(&paletteA[size_t{index} * 3], 3, change.a.begin());
        std::copy_n(&paletteB[size_t{index} * 3], 3, change.b.begin());
        if (change.a != change.b) difference->palette.push_back(change);
    }
}

void CompareLoaded(DiffRun& run, uint32_t number, Costume& a, Costume& b,
                   CostumeDifference* difference) {
    difference->frameCountDiffers = a.FrameCount() != b.FrameCount();
    difference->codecDiffers = a.Codec() != b.Codec();
    difference->colourCountDiffers = a.colourCount != b.colourCount;
    ComparePalettes(a, b, difference);
    if (!Charge(run, number, a, b)) return;
    FramePictures pictures{run};
    uint32_t pictured = 0;
    SideFrame firstA, firstB;
    const uint32_t frames = std::max(a.FrameCount(), b.FrameCount());
    for (uint32_t each = 1; each <= frames; ++each) {
        const auto frame = static_cast<uint16_t>(each);
        run.report.subject = FrameSubject(number, frame);
        // A frame only one side has is drawn only for its picture.
        const bool both = frame <= a.FrameCount() && frame <= b.FrameCount();
        const bool render = both || run.Pictures();
        SideFrame sideA = ReadFrame(run.report, a, frame, render);
        SideFrame sideB = ReadFrame(run.report, b, frame, render);
        FrameDifference frameDifference;
        frameDifference.frame = frame;
        if (CompareFrames(sideA, sideB, &frameDifference)) {
            if (run.Pictures() && frameDifference.change != FrameChange::Error &&
                pictured < kPicturedPerCostume) {
                ++pictured;
                frameDifference.pictured = pictures.Frame(number, frame, sideA, sideB);
            }
            difference->frames.push_back(std::move(frameDifference));
        } else if (frame == 1 && run.Pictures()) {
            firstA = std::move(sideA);
            firstB = std::move(sideB);
        }
    }
    // A change of colours alone shows in no frame's pixels: the first frames show it.
    if (run.Pictures() && difference->frames.empty() && difference->Differs() && firstA.read) {
        difference->firstFramesPictured = pictures.Frame(number, 1, firstA, firstB);
    }
}

void CompareCostume(DiffRun& run, uint32_t number) {
    run.report.Progress("Comparing costume " + std::to_string(number));
    ExportCostume a, b;
    const bool listedA = number < run.a.CostumeCount();
    const bool listedB = number < run.b.CostumeCount();
    Quietly(run.report, [&] {
        if (listedA) a.Load(run.a, number, run.report);
        if (listedB) b.Load(run.b, number, run.report);
    });
    const bool inA = listedA && a.result != CostumeLoadResult::NotPresent;
    const bool inB = listedB && b.result != CostumeLoadResult::NotPresent;
    if (inA && !inB) run.diff.onlyInA.push_back(number);
    if (inB && !inA) run.diff.onlyInB.push_back(number);
    if (!inA || !inB) return;
    CostumeDifference difference;
    difference.number = number;
    difference.a = SideOf(a);
    difference.b = SideOf(b);
    if (!a.loaded.Loaded() || !b.loaded.Loaded()) {
        difference.statusDiffers =
            a.loaded.Loaded() || b.loaded.Loaded() || difference.a.error != difference.b.error;
    } else {
        CompareLoaded(run, number, *a.loaded.costume, *b.loaded.costume, &difference);
    }
    if (difference.Differs()) run.diff.changed.push_back(std::move(difference));
}

std::string SizeText(FrameSize size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

// A side's frame: its size, or its message.
std::string FrameSideText(FrameSize size, const std::string& error) {
    return error.empty() ? SizeText(size) : error;
}

std::string FrameLine(const FrameDifference& frame) {
    const std::string head = "frame " + std::to_string(frame.frame) + ": ";
    switch (frame.change) {
        case FrameChange::OnlyInA:
            return head + "only in A";
        case FrameChange::OnlyInB:
            return head + "only in B";
        case FrameChange::Size:
            return head + SizeText(frame.a) + " in A, " + SizeText(frame.b) + " in B";
        case FrameChange::Pixels: {
            const uint64_t all = uint64_t{frame.a.width} * frame.a.height;
            return head + std::to_string(frame.pixels) + " of " + std::to_string(all) +
                   (frame.pixels == 1 ? " pixels differs" : " pixels differ");
        }
        case FrameChange::Error:
            return head + FrameSideText(frame.a, frame.errorA) + " in A, " +
                   FrameSideText(frame.b, frame.errorB) + " in B";
    }
    return head;
}

std::string SideStatusText(const DiffSide& side) {
    std::string text = LoadResultName(side.result);
    if (!side.error.empty()) text += " (" + side.error + ")";
    return text;
}

template <typename Number>
std::string ChangeLine(const char* what, Number a, Number b) {
    return std::string(what) + ": " + std::to_string(a) + " in A, " + std::to_string(b) + " in B";
}

Json SideJson(const DiffSide& side) {
    Json json = {{"status", LoadResultName(side.result)}};
    if (side.result == CostumeLoadResult::Failed) json["error"] = side.error;
    if (side.result != CostumeLoadResult::Loaded) return json;
    json["frameCount"] = side.frameCount;
    json["codec"] = side.codec;
    json["colourCount"] = side.colourCount;
    return json;
}

const char* ChangeName(FrameChange change) {
    switch (change) {
        case FrameChange::OnlyInA:
            return "onlyInA";
        case FrameChange::OnlyInB:
            return "onlyInB";
        case FrameChange::Size:
            return "size";
        case FrameChange::Pixels:
            return "pixels";
        case FrameChange::Error:
            return "error";
    }
    return "";
}

Json FrameJson(const FrameDifference& frame) {
    Json json = {{"frame", frame.frame}, {"differs", ChangeName(frame.change)}};
    const auto side = [](FrameSize size, const std::string& error) {
        return error.empty() ? Json{{"width", size.width}, {"height", size.height}}
                             : Json{{"error", error}};
    };
    if (frame.change != FrameChange::OnlyInB) json["a"] = side(frame.a, frame.errorA);
    if (frame.change != FrameChange::OnlyInA) json["b"] = side(frame.b, frame.errorB);
    if (frame.change == FrameChange::Pixels) json["pixels"] = frame.pixels;
    return json;
}

Json DiffersJson(const CostumeDifference& costume) {
    Json differs = Json::array();
    if (costume.statusDiffers) differs.push_back("status");
    if (costume.frameCountDiffers) differs.push_back("frameCount");
    if (costume.codecDiffers) differs.push_back("codec");
    if (costume.colourCountDiffers) differs.push_back("colourCount");
    if (!costume.palette.empty()) differs.push_back("palette");
    if (!costume.frames.empty()) differs.push_back("frames");
    return differs;
}

}  // namespace

DiffOutcome DiffGames(const DiffOptions& options, ExportReport& report, GameDiff* diff) {
    const CurrentReportScope current(report);
    DiffRun run(options, report, *diff);
    if (!run.a.Open(options.indexFileA, report) || !run.b.Open(options.indexFileB, report)) {
        return DiffOutcome::Trouble;
    }
    diff->opened = true;
    diff->costumeCountA = run.a.CostumeCount();
    diff->costumeCountB = run.b.CostumeCount();
    const uint32_t end = std::max(diff->costumeCountA, diff->costumeCountB);
    for (uint32_t number = 1; number < end && !run.stopped; ++number) {
        CompareCostume(run, number);
    }
    if (run.Pictures()) WriteDiffPage(options, *diff, *run.a.archive, *run.b.archive, report);
    return report.failed ? DiffOutcome::Trouble : DiffOutcome::Compared;
}

std::vector<std::string> DifferenceLines(const CostumeDifference& costume) {
    std::vector<std::string> lines;
    if (costume.statusDiffers) {
        lines.push_back("A: " + SideStatusText(costume.a) + "; B: " + SideStatusText(costume.b));
    }
    if (costume.frameCountDiffers) {
        lines.push_back(ChangeLine("frame count", costume.a.frameCount, costume.b.frameCount));
    }
    if (costume.codecDiffers) lines.push_back(ChangeLine("codec", costume.a.codec, costume.b.codec));
    if (costume.colourCountDiffers) {
        lines.push_back(ChangeLine("colour count", costume.a.colourCount, costume.b.colourCount));
    }
    for (const PaletteChange& change : costume.palette) {
        lines.push_back("palette entry " + std::to_string(change.index) + ": " + HexRgb(change.a) +
                        " in A, " + HexRgb(change.b) + " in B");
    }
    for (const FrameDifference& frame : costume.frames) lines.push_back(FrameLine(frame));
    return lines;
}

void WriteDiffJson(const DiffOptions& options, const GameDiff& diff, const TextSink& out) {
    JsonStream stream(out);
    stream.BeginObject();
    stream.Member("a", {{"indexFile", options.indexFileA}, {"costumeCount", diff.costumeCountA}});
    stream.Member("b", {{"indexFile", options.indexFileB}, {"costumeCount", diff.costumeCountB}});
    stream.Member("same", diff.Same());
    stream.Member("onlyInA", diff.onlyInA);
    stream.Member("onlyInB", diff.onlyInB);
    stream.Key("changed");
    stream.BeginArray();
    for (const CostumeDifference& costume : diff.changed) {
        stream.BeginObject();
        stream.Member("number", costume.number);
        stream.Member("differs", DiffersJson(costume));
        stream.Member("a", SideJson(costume.a));
        stream.Member("b", SideJson(costume.b));
        if (!costume.palette.empty()) {
            stream.Key("palette");
            stream.BeginArray();
            for (const PaletteChange& change : costume.palette) {
                stream.Value({{"index", change.index}, {"a", HexRgb(change.a)}, {"b", HexRgb(change.b)}});
            }
            stream.EndArray();
        }
        if (!costume.frames.empty()) {
            stream.Key("frames");
            stream.BeginArray();
            for (const FrameDifference& frame : costume.frames) stream.Value(FrameJson(frame));
            stream.EndArray();
        }
        stream.EndObject();
    }
    stream.EndArray();
    stream.EndObject();
}

std::string HexRgb(const std::array<uint8_t, 3>& rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb[0], rgb[1], rgb[2]);
    return text;
}

std::string DiffPictureName(uint32_t costume, uint16_t frame, char side) {
    return FrameName(costume, frame) + "-" + side + ".png";
}
