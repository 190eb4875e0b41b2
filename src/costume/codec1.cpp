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
    size_t index = 0;  // row x width + column, kept in step rather than multiplied out

    bool Full() const { return column == width; }

    // Writes up to `length` pixels of `colour`; the part of the run past the image is dropped.
    void Run(uint8_t colour, size_t length) {
        while (length > 0 && !Full()) {
            // One stretch of the current column: `count` rows below `row` are in the image.
            const size_t count = std::min(length, height - row);
            // count <= height - row, so every index stays below width x height.
            for (size_t i = 0; i < count; ++i, index += width) pixels[index] = colour;
            length -= count;
            row += count;
            if (row == height) {
                row = 0;
                ++column;
                index = column;
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

// Straight down the image's columns, for frames too tall for a tile of two columns.
void DecodeDownColumns(ByteView data, uint32_t shift, uint16_t width, uint16_t height,
                       uint8_t* pixels) {
    ColumnWriter writer{pixels, width, height};
    const uint32_t mask = (1u << shift) - 1;

    const uint8_t* in = data.data;
    const uint8_t* const end = data.data + data.size;
    // The common case works on locals: the pixel stores could otherwise alias the writer's
    // fields and force them through memory at every pixel.
    const size_t stride = writer.width;
    const size_t rows = writer.height;
    size_t row = 0;
    size_t index = 0;
    while (in != end) {
        const uint8_t run = *in++;
        size_t length = run & mask;
        if (length == 0) {
            if (in == end) break;
            length = *in++;  // 0 here is an empty run
        }
        const uint8_t colour = static_cast<uint8_t>(run >> shift);
        if (length < rows - row) {
            // A run that ends inside its column, without the general loop:
            // length < rows - row keeps every index inside the image.
            for (size_t i = 0; i < length; ++i, index += stride) pixels[index] = colour;
            row += length;
            continue;
        }
        writer.row = row;
        writer.index = index;
        writer.Run(colour, length);
        row = writer.row;
        index = writer.index;
        if (writer.Full()) break;
    }
    writer.row = row;
    writer.index = index;
    writer.ClearRest();
}

// Going down a column touches a new cache line (and soon a new page) at every pixel, which
// costs more than the decoding. So whole columns are decoded into a small tile, where they
// lie one after the other and a run is a plain fill, and the tile is then written into the
// image row by row.
constexpr size_t kTileBytes = 16384;
constexpr size_t kShortRun = 16;

// Writes `columns` columns of `height` pixels, held one after the other in `tile`, into the
// image from column `first` on.
void PutTile(const uint8_t* tile, size_t columns, size_t height, uint8_t* pixels,
             size_t width, size_t first) {
    for (size_t row = 0; row < height; ++row) {
        uint8_t* to = pixels + row * width + first;
        for (size_t column = 0; column < columns; ++column) to[column] = tile[column * height + row];
    }
}

// The columns right of the shown ones are 0.
void ZeroColumnsFrom(size_t first, size_t width, size_t height, uint8_t* pixels) {
    if (first >= width) return;
    for (size_t row = 0; row < height; ++row) std::memset(pixels + row * width + first, 0, width - first);
}

template <uint32_t kShift>
void DecodeInTiles(ByteView data, size_t width, size_t height, size_t tileColumns,
                   size_t shownColumns, uint8_t* pixels) {
    constexpr uint32_t mask = (1u << kShift) - 1;
    uint8_t tile[kTileBytes];
    const uint8_t* in = data.data;
    const uint8_t* const end = data.data + data.size;
    size_t pending = 0;  // pixels of the current run not yet written: it may cross tiles
    uint8_t colour = 0;
    for (size_t first = 0; first < shownColumns; first += tileColumns) {
        const size_t columns = std::min<size_t>(tileColumns, shownColumns - first);
        const size_t size = columns * height;
        size_t filled = 0;
        while (filled < size) {
            if (pending == 0) {
                // A stretch of one-pixel runs, the slowest data there is, in a tight loop.
                const size_t limit = std::min(size - filled, static_cast<size_t>(end - in));
                size_t ones = 0;
                while (ones < limit && (in[ones] & mask) == 1) {
                    tile[filled + ones] = static_cast<uint8_t>(in[ones] >> kShift);
                    ++ones;
                }
                in += ones;
                filled += ones;
                if (filled == size || in == end) break;
                const uint8_t run = *in++;
                colour = static_cast<uint8_t>(run >> kShift);
                pending = run & mask;
                if (pending == 0) {
                    if (in == end) break;
                    pending = *in++;  // 0 here is an empty run
                }
            }
            if (pending == 1) {
                tile[filled++] = colour;
                pending = 0;
                continue;
            }
            if (pending <= kShortRun && size - filled >= kShortRun) {
                // Two fixed stores instead of a call; the bytes beyond the run are written
                // again by the runs after it, or zeroed when the data ends first.
                const uint64_t pattern = colour * uint64_t{0x0101010101010101};
                std::memcpy(tile + filled, &pattern, sizeof pattern);
                std::memcpy(tile + filled + 8, &pattern, sizeof pattern);
                filled += pending;
                pending = 0;
                continue;
            }
            const size_t count = std::min(pending, size - filled);
            std::memset(tile + filled, colour, count);
            filled += count;
            pending -= count;
        }
        // What the data did not reach is 0; the rest of a run past the image is dropped.
        std::memset(tile + filled, 0, size - filled);
        PutTile(tile, columns, height, pixels, width, first);
    }
    ZeroColumnsFrom(shownColumns, width, height, pixels);
}

}  // namespace

void DecodeCodec1(ByteView data, uint32_t colourCount, uint16_t width, uint16_t height,
                  uint8_t* pixels, ShownArea shown) {
    if (width == 0 || height == 0) return;
    const uint32_t shift = Codec1LengthBits(colourCount);
    const size_t shownColumns = std::min(width, shown.width);
    const size_t tileColumns = std::min<size_t>(width, kTileBytes / height);
    if (tileColumns == 0) {
        // Taller than a tile: the whole frame, then the shown part alone is kept.
        DecodeDownColumns(data, shift, width, height, pixels);
        ZeroColumnsFrom(shownColumns, width, height, pixels);
        return;
    }
    // A fixed split keeps the shift and mask out of registers the loop needs.
    switch (shift) {
        case 2:
            DecodeInTiles<2>(data, width, height, tileColumns, shownColumns, pixels);
            break;
        case 3:
            DecodeInTiles<3>(data, width, height, tileColumns, shownColumns, pixels);
            break;
        default:
            DecodeInTiles<4>(data, width, height, tileColumns, shownColumns, pixels);
    }
}
