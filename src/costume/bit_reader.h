// Reads a codec 16 code stream: bytes in order, each from its least significant bit up.
// A byte is loaded only when its first bit is taken, so the reader never touches the byte
// after its view; asking for bits beyond the end sets `exhausted` and yields 0 bits.
#pragma once

#include <cstdint>

#include "common/byte_view.h"

struct BitReader {
    const uint8_t* next = nullptr;  // the byte to load when the bits of `buffer` are used up
    const uint8_t* end = nullptr;
    uint32_t bitsLeft = 0;  // bits of `buffer` not yet taken, 0 to 8
    uint8_t buffer = 0;     // the current byte shifted so that bit 0 is the next bit
    bool exhausted = false;

    explicit BitReader(ByteView bytes) : next(bytes.data), end(bytes.data + bytes.size) {}

    uint32_t TakeBit() {
        if (bitsLeft == 0) {
            if (next == end) {
                exhausted = true;
                return 0;
            }
            buffer = *next++;
            bitsLeft = 8;
        }
        const uint32_t bit = buffer & 1u;
        buffer = static_cast<uint8_t>(buffer >> 1);
        --bitsLeft;
        return bit;
    }

    // Takes `count` bits, the first taken becoming bit 0; bits after the eighth are taken
    // and dropped. Nothing is taken for a count of 0 or less.
    uint8_t ReadBits(int count) {
        uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            const uint32_t bit = TakeBit();
            if (i < 8) value |= bit << i;
        }
        return static_cast<uint8_t>(value);
    }
};
