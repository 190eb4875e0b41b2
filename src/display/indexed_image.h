// An 8-bit image with its own RGB palette and a position on the back buffer: what frame
// rendering produces and the screen copies. Rows are `width` bytes apart, top row first.
#pragma once

#include <cstdint>
#include <vector>

struct IndexedImage {
    int32_t x = 0;
    int32_t y = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint32_t paletteCount = 0;
    std::vector<uint8_t> palette;  // paletteCount x (red, green, blue)
    std::vector<uint8_t> pixels;   // width x height colour indices

    // Sizes pixels, then the palette; "Out of memory." and false when either fails. A new
    // record's buffers are zero-filled; a reused one keeps what they held, so an image is
    // always fully defined.
    bool Create(int32_t x, int32_t y, uint16_t width, uint16_t height, uint32_t paletteCount);

    // Releases both buffers; harmless when repeated.
    void Destroy();
};
