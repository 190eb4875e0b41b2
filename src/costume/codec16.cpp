#include "costume/codec16.h"

#include <algorithm>
#include <cstring>

#include "costume/bit_reader.h"

void DecodeCodec16(ByteView data, uint16_t width, uint16_t height, uint8_t* pixels) {
    const size_t total = static_cast<size_t>(width) * height;
    if (total == 0) return;
    uint8_t* out = pixels;
    uint8_t* const end = pixels + total;
    uint8_t bits = 0;
    uint8_t colour = 0;
    if (!data.ReadU8(0, &bits) || !data.ReadU8(1, &colour)) {
        std::memset(out, 0, total);
        return;
    }
    BitReader reader(data.From(2));
    // Rows follow each other without a gap, so the frame is one sequence of pixels; the
    // code after the last pixel would change nothing and is not read.
    for (;;) {
        *out++ = colour;
        if (out == end) return;
        if (reader.TakeBit() == 0) {
            if (reader.exhausted) break;
            continue;
        }
        if (reader.TakeBit() == 0) {
            const uint8_t value = reader.ReadBits(bits);
            if (reader.exhausted) break;
            colour = value;
            continue;
        }
        const uint32_t code = reader.ReadBits(kCodec16CodeBits);
        if (code != kCodec16RepeatCode) {
            if (reader.exhausted) break;
            colour = static_cast<uint8_t>(colour + code - kCodec16RepeatCode);
            continue;
        }
        // r pixels in all (256 for 0): the r - 1 filled here and the next one of the loop.
        const uint8_t repeat = static_cast<uint8_t>(reader.ReadBits(kCodec16RepeatCountBits) - 1);
        if (reader.exhausted) break;
        const size_t count = std::min<size_t>(repeat, static_cast<size_t>(end - out));
        std::memset(out, colour, count);
        out += count;
        if (out == end) return;
    }
    // The data ended inside the block before the image was full.
    std::memset(out, 0, static_cast<size_t>(end - out));
}
