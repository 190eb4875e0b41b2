#include "costume/codec1.h"

#include <algorithm>
#include <cstring>

namespace {

// The image filled column by column, top to bottom; runs go on from the bottom of one column
// to the top of the next.
struct ColumnWriter {
    uint8_t* pixels;
    size_t width;
    size_t height;
    size_t column = 0;
    size_t row = 0;

    bool Full() const { return column == width; }

    // Writes up to `length` pixels of `colour`; the part of the run past the image is dropped.
    void Run(uint8_t colour, size_t length) {
        while (length > 0 && !Full()) {
            // One stretch of the current column: `count` rows below `row` are in the image.
            const size_t count = std::min(length, height - row);
            // count <= height - row, so every index stays below width x height.
            size_t index = row * width + column;
            for (size_t i = 0; i < count; ++i, index += width) pixels[index] = colour;
            length -= count;
            row += count;
            if (row == height) {
                row = 0;
                ++column;
            }
        }
    }

    // Zeroes what the data did not reach: the rest of the current column, then the columns
    // after it row by row, since going down a column touches a new cache line per pixel and a
    // forged frame may claim 16 Mpixel with almost no data.
    void ClearRest() {
        if (Full()) return;
        for (size_t r = row; r < height; ++r) pixels[r * width + column] = 0;
        const size_t next = column + 1;
        if (next < width) {
            for (size_t r = 0; r < height; ++r)
                std::memset(pixels + r * width + next, 0, width - next);
        }
        column = width;
        row = 0;
    }
};

}  // namespace

void DecodeCodec1(ByteView data, uint32_t colourCount, uint16_t width, uint16_t height,
                  uint8_t* pixels) {
    ColumnWriter writer{pixels, width, height};
    if (writer.width == 0 || writer.height == 0) return;
    const uint32_t shift = Codec1LengthBits(colourCount);
    const uint32_t mask = (1u << shift) - 1;

    const uint8_t* in = data.data;
    const uint8_t* const end = data.data + data.size;
    while (!writer.Full() && in != end) {
        const uint8_t run = *in++;
        size_t length = run & mask;
        if (length == 0) {
            if (in == end) break;
            length = *in++;  // 0 here is an empty run
        }
        writer.Run(static_cast<uint8_t>(run >> shift), length);
    }
    writer.ClearRest();
}
