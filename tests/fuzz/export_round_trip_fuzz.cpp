// The exporter against what its readers see: a costume made from the input goes through
// every output of the export library, written into memory (each frame's PNG, the sheet
// with its JSON, the GIF, the three palette files), and each is read back as another
// program would read it: libpng, giflib composited as a browser shows it, nlohmann-json and
// the palettes' own plain layouts. Every file must hold exactly the frames as rendered,
// their rectangles and the palette.
//
// The input: codec (0: 1, 1: 5, 2: 16, modulo 3), colour count (0: 256), options (bits 0-1
// scale, 2-3 layout, 4 frames keyed by name, 5 a transparent index, 6-7 padding), the
// transparent index, frame count (modulo 6, plus 1), frames per second (modulo 100, plus
// 1), then a width and a height per frame (each modulo 25: frames stay small, so that an
// input stays quick), then paint: the colours, then the pixels, repeated as needed.
#include <png.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "authoring/costume_builder.h"
#include "costume/codec1.h"
#include "costume/costume.h"
#include "costume/costume_palette.h"
#include "export/frame_rows.h"
#include "export/gif_writer.h"
#include "export/output_names.h"
#include "export/palette_writer.h"
#include "export/png_writer.h"
#include "export/sheet_json.h"
#include "export/sheet_layout.h"
#include "fuzz_support.h"
#include "support/gif/gif_reader.h"
#include "support/png/png_reader.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Json = nlohmann::json;

constexpr size_t kHeaderLength = 6;
constexpr uint32_t kMaxFrames = 6;
constexpr uint32_t kSideModulus = 25;
constexpr uint32_t kCostumeNumber = 7;

struct Asked {
    uint16_t codec = 1;
    uint32_t colourCount = 256;
    uint32_t scale = 1;
    SheetArrangement layout = SheetArrangement::Row;
    bool hashJson = false;
    std::optional<uint8_t> transparentIndex;
    uint32_t padding = 0;
    uint32_t fps = 10;
};

uint32_t RoundedQuotient(uint32_t numerator, uint32_t denominator) {
    return (2 * numerator + denominator) / (2 * denominator);
}

// What `fill` writes, through a stream in memory; a writer that fails is a finding.
template <typename Fill>
Bytes WrittenBytes(const Fill& fill, const char* what) {
    char* data = nullptr;
    size_t size = 0;
    std::FILE* file = open_memstream(&data, &size);
    Require(file != nullptr, "a stream in memory opens");
    std::string error;
    const bool written = fill(file, &error);
    const bool flushed = std::ferror(file) == 0;
    const bool closed = std::fclose(file) == 0;
    Bytes bytes(data, data + size);
    std::free(data);
    if (!written) std::fprintf(stderr, "%s: %s\n", what, error.c_str());
    Require(written && flushed && closed, what);
    return bytes;
}

// A palette image of the whole costume palette, with the transparent entry alone see-through.
void RequireIndexedPng(const Bytes& bytes, const Asked& asked, const CostumePalette& palette,
                       PngContents* contents) {
    std::string error;
    if (!ReadPngBytes(bytes.data(), bytes.size(), contents, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        Require(false, "libpng reads the PNG written");
    }
    Require(contents->bitDepth == 8 && contents->colourType == PNG_COLOR_TYPE_PALETTE,
            "the PNG is 8-bit indexed");
    Require(contents->palette.size() == palette.size() &&
                std::equal(palette.begin(), palette.end(), contents->palette.begin()),
            "the PNG's palette is the costume's, all 256 entries");
    Bytes alpha;
    if (asked.transparentIndex) {
        alpha.assign(*asked.transparentIndex + 1u, 255);
        alpha.back() = 0;
    }
    Require(contents->alpha == alpha, "only the transparent entry is see-through");
}

// The frame widened `scale` times, read straight from its pixels.
uint8_t ScaledPixel(const KeptFrame& frame, uint32_t scale, uint64_t x, uint64_t y) {
    return frame.pixels[static_cast<size_t>(y / scale * frame.width + x / scale)];
}

void CheckFramePngs(const std::vector<KeptFrame>& frames, const Asked& asked,
                    const CostumePalette& palette) {
    const uint32_t scale = asked.scale;
    for (const KeptFrame& frame : frames) {
        std::vector<uint8_t> row(size_t{frame.width} * scale);
        const PngPicture picture{frame.width * scale, frame.height * scale, palette.data(),
                                 asked.transparentIndex, [&](uint32_t y) {
                                     PutScaledRow(&frame.pixels[size_t{y / scale} * frame.width],
                                                  frame.width, scale, row.data());
                                     return row.data();
                                 }};
        const Bytes bytes = WrittenBytes(
            [&](std::FILE* file, std::string* error) { return WritePng(file, picture, error); },
            "a frame's PNG is written");
        PngContents png;
        RequireIndexedPng(bytes, asked, palette, &png);
        Require(png.width == picture.width && png.height == picture.height,
                "a frame's PNG has the frame's size times the scale");
        bool same = true;
        for (uint32_t y = 0; y < png.height; ++y) {
            for (uint32_t x = 0; x < png.width; ++x) {
                same = same &&
                       png.pixels[size_t{y} * png.width + x] == ScaledPixel(frame, scale, x, y);
            }
        }
        Require(same, "a frame's PNG holds the frame as rendered");
    }
}

// One frame's rectangle as the JSON gives it, with the size it says the frame has.
struct JsonRect {
    uint64_t x = 0, y = 0, w = 0, h = 0;
};

JsonRect RectOf(const Json& value) {
    return {value.at("x").get<uint64_t>(), value.at("y").get<uint64_t>(),
            value.at("w").get<uint64_t>(), value.at("h").get<uint64_t>()};
}

// The frames' entries, in frame order, whether as an array or keyed by name.
std::vector<Json> FrameEntries(const Json& document, const std::vector<KeptFrame>& frames,
                               bool hash) {
    const Json& listed = document.at("frames");
    Require(listed.size() == frames.size(), "the JSON lists every frame on the sheet once");
    std::vector<Json> entries;
    for (size_t i = 0; i < frames.size(); ++i) {
        const std::string name = FrameName(kCostumeNumber, frames[i].number);
        if (hash) {
            Require(listed.is_object() && listed.contains(name),
                    "the JSON keys each frame by name");
            entries.push_back(listed.at(name));
        } else {
            Require(listed.is_array() && listed[i].at("filename") == name,
                    "the JSON names each frame in order");
            entries.push_back(listed[i]);
        }
    }
    return entries;
}

// The sheet's rectangles from its JSON: each the frame's size times the scale, inside the
// sheet's padding, overlapping no other; matching the layout the sheet was drawn from.
std::vector<JsonRect> CheckSheetJson(const Bytes& text, const SheetLayout& layout,
                                     const std::vector<KeptFrame>& frames, const Asked& asked,
                                     const std::string& imageName) {
    const Json document = Json::parse(text.begin(), text.end(), nullptr, false);
    Require(!document.is_discarded(), "nlohmann-json reads the sheet's JSON");
    const uint32_t duration = RoundedQuotient(1000, asked.fps);
    const std::vector<Json> entries = FrameEntries(document, frames, asked.hashJson);
    std::vector<JsonRect> rects;
    for (size_t i = 0; i < frames.size(); ++i) {
        const Json& entry = entries[i];
        const JsonRect rect = RectOf(entry.at("frame"));
        Require(rect.w == uint64_t{frames[i].width} * asked.scale &&
                    rect.h == uint64_t{frames[i].height} * asked.scale,
                "a frame's rectangle is its size times the scale");
        Require(entry.at("sourceSize").at("w") == rect.w &&
                    entry.at("sourceSize").at("h") == rect.h && entry.at("duration") == duration,
                "a frame's entry gives its size and duration");
        const SheetLayout::Cell& cell = layout.cells[i];
        Require(
            rect.x == cell.x && rect.y == cell.y && rect.w == cell.width && rect.h == cell.height,
            "the JSON gives the rectangles the sheet was drawn with");
        Require(rect.x >= asked.padding && rect.y >= asked.padding &&
                    rect.x + rect.w + asked.padding <= layout.width &&
                    rect.y + rect.h + asked.padding <= layout.height,
                "a frame lies inside the sheet's padding");
        for (const JsonRect& other : rects) {
            const bool apart = rect.x + rect.w <= other.x || other.x + other.w <= rect.x ||
                               rect.y + rect.h <= other.y || other.y + other.h <= rect.y;
            Require(apart, "no two frames overlap on the sheet");
        }
        rects.push_back(rect);
    }
    const Json& meta = document.at("meta");
    Require(meta.at("image") == imageName && meta.at("size").at("w") == layout.width &&
                meta.at("size").at("h") == layout.height &&
                meta.at("scale") == std::to_string(asked.scale),
            "the JSON's meta names the sheet, its size and scale");
    const Json& tag = meta.at("frameTags").at(0);
    Require(tag.at("from") == 0 && tag.at("to") == frames.size() - 1,
            "the costume's tag spans every frame");
    return rects;
}

void CheckSheet(const std::vector<KeptFrame>& frames, const Asked& asked,
                const CostumePalette& palette) {
    std::vector<SheetLayout::FrameSize> sizes;
    for (const KeptFrame& frame : frames)
        sizes.push_back({frame.number, frame.width, frame.height});
    SheetLayout layout;
    layout.Place(asked.layout, sizes, asked.scale, asked.padding);
    Require(layout.cells.size() == frames.size(), "the sheet has a cell per frame");
    const uint8_t background = asked.transparentIndex.value_or(0);
    SheetRows rows{layout, frames, asked.scale, background};
    const PngPicture picture{static_cast<uint32_t>(layout.width),
                             static_cast<uint32_t>(layout.height), palette.data(),
                             asked.transparentIndex, [&rows](uint32_t y) { return rows.At(y); }};
    const Bytes image = WrittenBytes(
        [&](std::FILE* file, std::string* error) { return WritePng(file, picture, error); },
        "the sheet's PNG is written");
    const std::string imageName = CostumeName(kCostumeNumber) + "-sheet.png";
    const SheetJson json{kCostumeNumber, imageName, asked.hashJson, asked.scale,
                         RoundedQuotient(1000, asked.fps)};
    const Bytes text = WrittenBytes(
        [&](std::FILE* file, std::string*) {
            WriteSheetJson(file, layout, json);
            return true;
        },
        "the sheet's JSON is written");
    const std::vector<JsonRect> rects = CheckSheetJson(text, layout, frames, asked, imageName);

    PngContents png;
    RequireIndexedPng(image, asked, palette, &png);
    Require(png.width == layout.width && png.height == layout.height,
            "the sheet's PNG has the size its JSON gives");
    // The sheet as its JSON describes it: background, each frame in its rectangle.
    Bytes expected(size_t{png.width} * png.height, background);
    for (size_t i = 0; i < frames.size(); ++i) {
        for (uint64_t y = 0; y < rects[i].h; ++y) {
            for (uint64_t x = 0; x < rects[i].w; ++x) {
                expected[static_cast<size_t>((rects[i].y + y) * png.width + rects[i].x + x)] =
                    ScaledPixel(frames[i], asked.scale, x, y);
            }
        }
    }
    Require(png.pixels == expected, "the sheet holds each frame in its JSON rectangle");
}

void CheckGif(const std::vector<KeptFrame>& frames, const Asked& asked,
              const CostumePalette& palette) {
    uint32_t width = 0, height = 0;
    for (const KeptFrame& frame : frames) {
        width = std::max<uint32_t>(width, frame.width);
        height = std::max<uint32_t>(height, frame.height);
    }
    width *= asked.scale;
    height *= asked.scale;
    const uint8_t background = asked.transparentIndex.value_or(0);
    AnimationRows rows{frames, width, asked.scale, background};
    const uint16_t delay = static_cast<uint16_t>(RoundedQuotient(100, asked.fps));
    const GifAnimation animation{static_cast<uint16_t>(width),
                                 static_cast<uint16_t>(height),
                                 static_cast<uint32_t>(frames.size()),
                                 palette.data(),
                                 asked.transparentIndex,
                                 delay,
                                 [&rows](uint32_t index, uint32_t y) { return rows.At(index, y); }};
    const Bytes bytes = WrittenBytes(
        [&](std::FILE* file, std::string* error) { return WriteGif(file, animation, error); },
        "the GIF is written");
    GifContents gif;
    std::string error;
    if (!ReadGifBytes(bytes.data(), bytes.size(), &gif, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        Require(false, "giflib reads the GIF written");
    }
    Require(gif.width == width && gif.height == height, "the GIF's screen holds every frame");
    Require(gif.loopCount == 0, "the GIF loops for ever");
    Require(gif.frames.size() == frames.size(), "the GIF has every frame");
    for (const GifContents::Frame& frame : gif.frames) {
        Require(frame.delay == delay, "every GIF frame has the delay asked for");
    }
    std::vector<GifShownFrame> shown;
    if (!CompositeGif(gif, &shown, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        Require(false, "the GIF composites");
    }
    const std::vector<uint8_t> colours(palette.begin(), palette.end());
    for (size_t i = 0; i < frames.size(); ++i) {
        GifShownFrame expected(size_t{width} * height, kGifClear);
        for (uint32_t y = 0; y < height; ++y) {
            for (uint32_t x = 0; x < width; ++x) {
                const bool inside = x < uint32_t{frames[i].width} * asked.scale &&
                                    y < uint32_t{frames[i].height} * asked.scale;
                const uint8_t index =
                    inside ? ScaledPixel(frames[i], asked.scale, x, y) : background;
                if (index != asked.transparentIndex) expected[size_t{y} * width + x] = index;
            }
        }
        Require(ShownColours(shown[i], gif.palette) == ShownColours(expected, colours),
                "each GIF frame, composited, shows the frame as rendered");
    }
}

// Lines of text, each without its end.
std::vector<std::string> Lines(const Bytes& text, const char* end) {
    std::vector<std::string> lines;
    const std::string whole(text.begin(), text.end());
    const size_t endLength = std::strlen(end);
    size_t at = 0;
    while (at < whole.size()) {
        const size_t next = whole.find(end, at);
        Require(next != std::string::npos, "a palette's text ends its last line");
        lines.push_back(whole.substr(at, next - at));
        at = next + endLength;
    }
    return lines;
}

// The colours of `lines` from `first` on, one "R G B" per line before anything else.
Bytes ColoursOfLines(const std::vector<std::string>& lines, size_t first) {
    Bytes colours;
    for (size_t i = first; i < lines.size(); ++i) {
        unsigned red = 0, green = 0, blue = 0;
        Require(std::sscanf(lines[i].c_str(), "%u %u %u", &red, &green, &blue) == 3 && red < 256 &&
                    green < 256 && blue < 256,
                "a palette line gives a colour");
        colours.insert(colours.end(), {static_cast<uint8_t>(red), static_cast<uint8_t>(green),
                                       static_cast<uint8_t>(blue)});
    }
    return colours;
}

void CheckPalettes(const Asked& asked, const CostumePalette& palette) {
    const Bytes expected(palette.begin(), palette.end());
    const std::string name = CostumeName(kCostumeNumber);
    for (const PaletteFormat format :
         {PaletteFormat::Gpl, PaletteFormat::Pal, PaletteFormat::Act}) {
        const Bytes bytes = WrittenBytes(
            [&](std::FILE* file, std::string* error) {
                return WritePalette(file, format, palette.data(), name, asked.transparentIndex,
                                    error);
            },
            "a palette file is written");
        if (format == PaletteFormat::Gpl) {
            const std::vector<std::string> lines = Lines(bytes, "\n");
            Require(lines.size() == 4 + 256 && lines[0] == "GIMP Palette" &&
                        lines[1] == "Name: " + name && lines[3] == "#",
                    "the GIMP palette has its header and 256 lines");
            Require(ColoursOfLines(lines, 4) == expected, "the GIMP palette holds the costume's");
        } else if (format == PaletteFormat::Pal) {
            const std::vector<std::string> lines = Lines(bytes, "\r\n");
            Require(lines.size() == 3 + 256 && lines[0] == "JASC-PAL" && lines[1] == "0100" &&
                        lines[2] == "256",
                    "the JASC palette has its header and 256 lines");
            Require(ColoursOfLines(lines, 3) == expected, "the JASC palette holds the costume's");
        } else {
            // No transparent entry is 0xFFFF, which the optional's own type cannot hold.
            const unsigned transparent =
                asked.transparentIndex ? unsigned{*asked.transparentIndex} : 0xFFFFu;
            const Bytes tail = {1, 0, static_cast<uint8_t>(transparent >> 8),
                                static_cast<uint8_t>(transparent & 0xFF)};
            Require(bytes.size() == 768 + 4 &&
                        std::equal(expected.begin(), expected.end(), bytes.begin()) &&
                        std::equal(tail.begin(), tail.end(), bytes.begin() + 768),
                    "the colour table holds the costume's, its count and transparent index");
        }
    }
}

Asked AskedOf(const uint8_t* data) {
    Asked asked;
    asked.codec = std::array<uint16_t, 3>{1, 5, 16}[data[0] % 3];
    asked.colourCount = data[1] == 0 ? 256 : data[1];
    asked.scale = 1 + (data[2] & 3u) % 3;
    asked.layout = std::array<SheetArrangement, 3>{SheetArrangement::Row, SheetArrangement::Column,
                                                   SheetArrangement::Grid}[(data[2] >> 2 & 3u) % 3];
    asked.hashJson = (data[2] & 0x10) != 0;
    if ((data[2] & 0x20) != 0) asked.transparentIndex = data[3];
    asked.padding = data[2] >> 6;
    asked.fps = 1 + data[5] % 100;
    return asked;
}

// The colours a frame's pixels may take: codec 1's run byte leaves 4 colour bits, or 5 for
// 32 colours and 6 for 64.
uint32_t PixelLimit(const Asked& asked) {
    if (asked.codec != 1) return asked.colourCount;
    return std::min(asked.colourCount, 1u << (8 - Codec1LengthBits(asked.colourCount)));
}

// The design the input asks for, or false when it is too short to give the frames' sizes.
bool DesignOf(const uint8_t* data, size_t size, const Asked& asked, CostumeDesign* design) {
    const uint32_t frameCount = 1 + data[4] % kMaxFrames;
    const size_t paintAt = kHeaderLength + 2 * size_t{frameCount};
    if (size < paintAt) return false;
    const uint8_t* paint = data + paintAt;
    const size_t paintLength = size - paintAt;
    size_t next = 0;
    const auto Paint = [&]() -> uint8_t {
        return paintLength == 0 ? 0 : paint[next++ % paintLength];
    };
    design->codec = asked.codec;
    for (uint32_t i = 0; i < asked.colourCount * 3; ++i) design->colours.push_back(Paint());
    const uint32_t limit = PixelLimit(asked);
    for (uint32_t f = 0; f < frameCount; ++f) {
        CostumeFrame frame;
        frame.width = static_cast<uint16_t>(data[kHeaderLength + 2 * f] % kSideModulus);
        frame.height = static_cast<uint16_t>(data[kHeaderLength + 2 * f + 1] % kSideModulus);
        frame.pixels.resize(size_t{frame.width} * frame.height);
        for (uint8_t& pixel : frame.pixels) pixel = static_cast<uint8_t>(Paint() % limit);
        design->frames.push_back(std::move(frame));
    }
    return true;
}

// Renders every frame that has pixels, as the exporter does, and holds each to its design.
std::vector<KeptFrame> RenderedFrames(const CostumeDesign& design, const Bytes& block,
                                      CostumePalette* palette) {
    Costume costume(ByteView{block.data(), block.size()});
    Require(costume.Parse(), "a built costume parses");
    Require(costume.FrameCount() == design.frames.size(), "the costume has every frame built");
    *palette = PaletteOf(costume);
    std::vector<KeptFrame> kept;
    for (uint16_t number = 1; number <= costume.FrameCount(); ++number) {
        const CostumeFrame& built = design.frames[number - 1u];
        Require(costume.SelectFrame(number), "a built frame is selected");
        if (built.pixels.empty()) continue;  // the exporter notes it and skips it
        IndexedImage image;
        Require(costume.Render(&image, 0, 0), "a built frame renders");
        Require(image.palette.size() == palette->size() &&
                    std::equal(palette->begin(), palette->end(), image.palette.begin()),
                "a frame renders with the costume's palette");
        Require(image.width == built.width && image.height == built.height &&
                    image.pixels == built.pixels,
                "a built frame renders as built");
        kept.push_back({number, image.width, image.height, std::move(image.pixels)});
    }
    return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHeaderLength) return 0;
    const Asked asked = AskedOf(data);
    CostumeDesign design;
    if (!DesignOf(data, size, asked, &design)) return 0;
    const Bytes block = BuildCostumeBlock(design);
    Require(!block.empty(), "the builder takes frames limited to the codec's colours");
    CostumePalette palette{};
    const std::vector<KeptFrame> frames = RenderedFrames(design, block, &palette);
    CheckPalettes(asked, palette);
    if (frames.empty()) return 0;
    CheckFramePngs(frames, asked, palette);
    CheckSheet(frames, asked, palette);
    CheckGif(frames, asked, palette);
    return 0;
}
