#include <algorithm>

#include "authoring/costume_builder.h"
#include "common/byte_writer.h"
#include "costume/codec5.h"

namespace {

// How many pixels from `row[i]` on have its colour, counting up to `limit`.
size_t SameRun(const uint8_t* row, size_t i, size_t width, size_t limit) {
    size_t length = 1;
    while (i + length < width && length < limit && row[i + length] == row[i]) ++length;
    return length;
}

void EncodeRow(const uint8_t* row, size_t width, std::vector<uint8_t>* out) {
    size_t i = 0;
    while (i < width) {
        size_t length = SameRun(row, i, width, kCodec5MaxRun);
        if (length >= 2) {
            out->push_back(static_cast<uint8_t>(((length - 1) << 1) | kCodec5FillBit));
            out->push_back(row[i]);
            i += length;
            continue;
        }
        // A literal goes on until a fill of three or more would pay for its control byte.
        const size_t start = i;
        while (i < width && i - start < kCodec5MaxRun &&
               (i == start || SameRun(row, i, width, 3) < 3))
            ++i;
        length = i - start;
        out->push_back(static_cast<uint8_t>((length - 1) << 1));
        out->insert(out->end(), row + start, row + i);
    }
}

}  // namespace

std::vector<uint8_t> EncodeCodec5(const CostumeFrame& frame) {
    const size_t width = frame.width;
    const size_t height = frame.height;
    if (frame.pixels.size() != width * height) return {};
    std::vector<uint8_t> out;
    std::vector<uint8_t> runs;
    for (size_t y = 0; y < height; ++y) {
        runs.clear();
        EncodeRow(frame.pixels.data() + y * width, width, &runs);
        // The row length has 16 bits; only a row of nearly 65536 varied pixels outgrows it.
        if (runs.size() > UINT16_MAX) return {};
        AppendU16LE(out, static_cast<uint16_t>(runs.size()));
        AppendBytes(out, runs);
    }
    return out;
}
