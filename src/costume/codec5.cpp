#include "costume/codec5.h"

#include <algorithm>
#include <cstring>

namespace {

// Decodes one row's runs from `in` (at most `end`) into `out`. Returns false when the data
// ended first, after zeroing the pixels it did not reach.
bool DecodeRow(const uint8_t* in, const uint8_t* end, uint8_t* out, size_t width) {
    size_t left = width;
    while (left > 0) {
        if (in == end) break;
        const uint8_t control = *in++;
        // A run longer than the rest of the row is cut there and never spills over.
        const size_t length = std::min<size_t>((control >> 1) + 1u, left);
        const size_t available = static_cast<size_t>(end - in);
        if (control & kCodec5FillBit) {
            if (available == 0) break;
            // While a whole longest run fits in the row, a fixed-size fill is a few wide
            // stores instead of a call; the runs after this one overwrite what it wrote
            // beyond its length, and the row is always completed (or zeroed) in the end.
            if (left >= kCodec5MaxRun) {
                std::memset(out, *in, kCodec5MaxRun);
            } else {
                std::memset(out, *in, length);
            }
            ++in;
        } else if (available < length) {
            std::memcpy(out, in, available);
            out += available;
            left -= available;
            break;
        } else {
            // The same for a literal run, when the data holds a whole longest run as well.
            if (left >= kCodec5MaxRun && available >= kCodec5MaxRun) {
                std::memcpy(out, in, kCodec5MaxRun);
            } else {
                std::memcpy(out, in, length);
            }
            in += length;
        }
        out += length;
        left -= length;
    }
    std::memset(out, 0, left);
    return left == 0;
}

}  // namespace

void DecodeCodec5(ByteView data, uint16_t width, uint16_t height, uint8_t* pixels,
                  ShownArea shown) {
    if (width == 0 || height == 0) return;
    const uint8_t* const end = data.data + data.size;
    size_t record = 0;
    size_t row = 0;
    const size_t rows = std::min(height, shown.height);
    while (row < rows) {
        uint16_t length = 0;
        if (!data.ReadU16LE(record, &length)) break;
        // The row length only says where the next record begins; the runs may read past it.
        const bool complete =
            DecodeRow(data.data + record + kCodec5RowLengthBytes, end, pixels + row * width, width);
        ++row;
        if (!complete) break;
        record += length + kCodec5RowLengthBytes;
    }
    std::memset(pixels + row * width, 0, (height - row) * width);
}
