// PNG files of the kinds the tool writes: 8-bit indexed with the whole 256-entry palette
// (and, when asked, one fully transparent entry), 8-bit RGB, and 8-bit RGBA (thumbnails).
// Rows are asked for one at a time, so that a large picture never has to be held whole.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

struct PngPicture {
    uint32_t width = 0;
    uint32_t height = 0;
    const uint8_t* palette = nullptr;  // 256 x (red, green, blue); null for an RGB picture
    std::optional<uint8_t> transparentIndex;
    // Row `row` (top first): width bytes, 3 x width for RGB or 4 x width for RGBA; valid
    // until the next call.
    std::function<const uint8_t*(uint32_t row)> rowAt;
    bool alpha = false;  // without a palette: red, green, blue and opacity for each pixel

    bool Indexed() const { return palette != nullptr; }
};

// Writes the picture into the open file. False with `error` set when it cannot.
bool WritePng(std::FILE* file, const PngPicture& picture, std::string* error);
