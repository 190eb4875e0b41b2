// What each job of the export library is asked to do, with every default and bound stated
// here once: the programs show these in their help and check their input against them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "export/palette_writer.h"
#include "export/selection.h"
#include "export/sheet_layout.h"

// The bounds of a number option, both included.
struct NumberRange {
    int64_t lowest = 0;
    int64_t highest = 0;
};

constexpr NumberRange kCostumeRange{1, UINT32_MAX};
constexpr NumberRange kFrameRange{1, 65535};
constexpr NumberRange kPaddingRange{0, 1024};
constexpr NumberRange kFpsRange{1, 100};
constexpr NumberRange kScaleRange{1, 8};
constexpr NumberRange kPaletteIndexRange{0, 255};
// Workers writing costumes at once. Each holds one costume's frames at most, so the bound is
// also one on memory (README: "What one command holds").
constexpr NumberRange kJobsRange{1, 64};

// One worker per core, as the system counts them, within kJobsRange.
inline uint32_t DefaultJobs() {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    return 1;  // a page without threads writes on its own thread
#else
    const auto cores = static_cast<int64_t>(std::thread::hardware_concurrency());
    return static_cast<uint32_t>(std::clamp(cores, kJobsRange.lowest, kJobsRange.highest));
#endif
}

enum class ImageFormat { Png, Gif };

struct ExportOptions {
    std::string indexFile;
    Selection costumes;  // empty: every costume from 1 to count - 1
    Selection frames;    // empty: every frame
    std::string outDirectory = ".";
    std::optional<uint8_t> transparentIndex;  // also the fill around frames
    ImageFormat format = ImageFormat::Png;
    bool sheet = false;  // a sheet with its JSON instead of one PNG per frame
    SheetArrangement layout = SheetArrangement::Row;
    bool hashJson = false;  // the sheet JSON's frames keyed by name instead of an array
    uint32_t padding = 0;   // kPaddingRange
    uint32_t fps = 10;      // kFpsRange
    uint32_t scale = 1;     // kScaleRange
    std::vector<PaletteFormat> palettes;  // each written once, in this order
    bool paletteOnly = false;
    uint32_t jobs = DefaultJobs();  // kJobsRange
};

struct GalleryOptions {
    std::string indexFile;
    std::string outDirectory;
    uint32_t scale = 0;  // kScaleRange; 0: each costume's own, kGalleryMostScale at most
    std::optional<uint8_t> transparentIndex;
    uint32_t fps = 10;              // kFpsRange
    uint32_t jobs = DefaultJobs();  // kJobsRange
};

// The gallery's own choice of scale: the largest whole number up to this that fits a card.
constexpr uint32_t kGalleryMostScale = 4;

struct InfoOptions {
    std::string indexFile;
    bool json = false;  // one JSON document instead of text
    bool hashes = false;  // with json: a SHA-256 of each frame's pixels and each palette
};

// A thumbnail: N x N pixels, the frame enlarged at most this many times.
constexpr NumberRange kThumbnailSizeRange{16, 1024};
constexpr uint32_t kThumbnailMostScale = 8;

struct ThumbnailOptions {
    std::string indexFile;
    std::string outFile;
    uint32_t size = 128;  // kThumbnailSizeRange; the file managers' "normal" size
};

struct DiffOptions {
    std::string indexFileA;
    std::string indexFileB;
    bool json = false;       // one JSON document instead of text
    std::string outDirectory;  // when set, a page of the differences is written there
    uint32_t scale = 2;      // kScaleRange: the page's pictures
};
