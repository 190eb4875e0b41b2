#include "export/gif_string_table.h"

#include <algorithm>

void GifStringTable::Start(uint32_t colourBits) {
    minimumBits_ = std::max(2u, colourBits);
    clearCode_ = 1u << minimumBits_;
    current_ = -1;
    bits_ = 0;
    Clear();
    Output(clearCode_);
}

void GifStringTable::Clear() {
    nextCode_ = clearCode_ + 2;
    codeBits_ = minimumBits_ + 1;
    widerAt_ = 1u << codeBits_;
    // A new generation empties every slot at once; after four billion, empty them for real.
    if (++generation_ == uint64_t{1} << 32) {
        std::fill(slots_.begin(), slots_.end(), 0);
        generation_ = 1;
    }
}

// As the encoder does: a code takes the width of its time, and codes widen once the next
// code no longer fits.
void GifStringTable::Output(uint32_t code) {
    bits_ += codeBits_;
    if (nextCode_ >= widerAt_ && code < kCodes) widerAt_ = 1u << ++codeBits_;
}

uint64_t GifStringTable::Bytes() const {
    // The last string and the end code, at the width the encoder would give them.
    uint64_t bits = bits_;
    uint32_t width = codeBits_;
    if (current_ >= 0) {
        bits += width;
        if (nextCode_ >= widerAt_) ++width;
    }
    bits += width;
    const uint64_t data = (bits + 7) / 8;
    return 1 + data + (data + 254) / 255 + 1;
}
