// A costume's frames side by side: left to right in frame order, top-aligned, with the
// rectangle of each recorded for the JSON written beside the sheet.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "display/indexed_image.h"

struct FrameSheet {
    // Wider or larger sheets are refused: the PNG library's width limit, and a bound on memory.
    static constexpr uint32_t kMaxWidth = 1000000;
    static constexpr uint64_t kMaxPixels = uint64_t{1} << 28;

    struct Placed {
        uint16_t frame = 0;
        uint32_t x = 0;
        IndexedImage image;
    };

    std::vector<Placed> frames;
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;   // width x height, after Compose
    std::vector<uint8_t> palette;  // the first frame's 256 entries: all frames share them

    // False, with "Sheet too large." reported, when the frame would not fit the limits.
    bool Add(uint16_t frame, IndexedImage image);
    // Lays the frames out on `background`; false when memory runs out.
    bool Compose(uint8_t background);
    nlohmann::ordered_json Layout(uint32_t costume, const std::string& imageName) const;
};
