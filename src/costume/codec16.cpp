#include "costume/codec16.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr size_t kShortFill = 16;
// The longest code when a colour has at most 8 bits: 1, 1, a 3-bit step of 4 and a count.
constexpr unsigned kLongestCode = 2 + kCodec16CodeBits + kCodec16RepeatCountBits;

// Bit position `at` of `stream` and at least the 56 bits after it, the first in bit 0
// (bytes in order, each from its least significant bit up). Bits past the end read as 0, and
// no byte past the end is touched: `at` must lie inside the stream.
uint64_t PeekBits(const uint8_t* stream, size_t size, size_t at) {
    const size_t first = at >> 3;
    const uint8_t* bytes = stream + first;
    uint64_t word = 0;
    if (size - first >= 8) {
        std::memcpy(&word, bytes, sizeof word);
        if constexpr (std::endian::native == std::endian::big) {
            uint64_t swapped = 0;
            for (unsigned i = 0; i < 8; ++i) swapped |= ((word >> (8 * i)) & 0xFF) << (56 - 8 * i);
            word = swapped;
        }
    } else {
        for (size_t i = 0; i < size - first; ++i) word |= uint64_t{bytes[i]} << (8 * i);
    }
    return word >> (at & 7);
}

// Writes `count` pixels of `colour`, cut at `last`. False once the image is full.
[[gnu::always_inline]] inline bool Fill(uint8_t*& out, uint8_t* last, uint8_t colour, size_t count) {
    if (count == 1) {
        *out++ = colour;
        return out != last;
    }
    const size_t room = static_cast<size_t>(last - out);
    if (count <= kShortFill && room >= kShortFill) {
        // Most runs are short: two fixed stores instead of a call. The bytes beyond the run
        // are written again by the pixels after it, or zeroed if the data ends first.
        const uint64_t pattern = colour * uint64_t{0x0101010101010101};
        std::memcpy(out, &pattern, sizeof pattern);
        std::memcpy(out + 8, &pattern, sizeof pattern);
        out += count;
    } else {
        const size_t fill = std::min(count, room);
        std::memset(out, colour, fill);
        out += fill;
    }
    return out != last;
}

struct Code {
    size_t length;  // bits
    size_t pixels;  // the pixels it stands for
};

// The code at bit 0 of `peek`, of which `room` bits (at most 56) are real: its length and
// pixels, with `colour` changed as it says. A stretch of "keep" codes, one pixel each, is
// taken as one and stops where the real bits do. The caller drops a code longer than the
// data, whatever it did to `colour`.
[[gnu::always_inline]] inline Code TakeCode(uint64_t peek, unsigned room, uint8_t bits, uint64_t valueMask, uint8_t& colour) {
    if ((peek & 1) == 0) {
        const auto keeps = static_cast<size_t>(std::countr_zero(peek | uint64_t{1} << room));
        return {keeps, keeps};
    }
    if ((peek & 2) == 0) {
        colour = static_cast<uint8_t>((peek >> 2) & valueMask);
        return {2 + size_t{bits}, 1};
    }
    const uint32_t step = static_cast<uint32_t>(peek >> 2) & 7;
    if (step != kCodec16RepeatCode) {
        colour = static_cast<uint8_t>(colour + step - kCodec16RepeatCode);
        return {2 + kCodec16CodeBits, 1};
    }
    const uint32_t repeat = static_cast<uint32_t>(peek >> 5) & 0xFF;
    return {kLongestCode, repeat == 0 ? kCodec16MaxRepeat : repeat};
}

}  // namespace

void DecodeCodec16(ByteView data, uint16_t width, uint16_t height, uint8_t* pixels,
                   ShownArea shown) {
    const size_t whole = size_t{width} * height;
    if (whole == 0) return;
    // The rows below the shown ones are 0; the pixels above them are one sequence.
    const size_t total = size_t{width} * std::min(height, shown.height);
    std::memset(pixels + total, 0, whole - total);
    if (total == 0) return;
    uint8_t* out = pixels;
    uint8_t* const last = pixels + total;
    uint8_t bits = 0;
    uint8_t colour = 0;
    if (!data.ReadU8(0, &bits) || !data.ReadU8(1, &colour)) {
        std::memset(out, 0, total);
        return;
    }
    const ByteView codes = data.From(2);
    const size_t end = codes.size * 8;
    // A colour keeps its first 8 bits; the bits after them are taken and dropped.
    const uint64_t valueMask = (uint64_t{1} << std::min<uint32_t>(bits, 8)) - 1;
    size_t at = 0;  // the next code's first bit

    // Rows follow each other without a gap, so the frame is one sequence of pixels. After
    // each pixel comes the code of the next one; the code after the last pixel would change
    // nothing and is not read. A code that the data ends inside of leaves the rest 0.
    *out++ = colour;
    if (out == last) return;
    // Far from the end of the data, one peek holds several whole codes: they are taken from
    // it in turn while its 56 real bits still hold the longest code (13 bits when N <= 8).
    if (bits <= 8) {
        while (end - at >= 64) {
            const uint64_t window = PeekBits(codes.data, codes.size, at);
            unsigned used = 0;
            do {
                const Code code = TakeCode(window >> used, 56 - used, bits, valueMask, colour);
                used += static_cast<unsigned>(code.length);
                if (!Fill(out, last, colour, code.pixels)) return;
            } while (used + kLongestCode <= 56);
            at += used;
        }
    }
    // The last codes, one peek each, each checked against the end of the data.
    while (at < end) {
        const size_t room = std::min<size_t>(end - at, 56);
        const Code code = TakeCode(PeekBits(codes.data, codes.size, at),
                                   static_cast<unsigned>(room), bits, valueMask, colour);
        at += code.length;
        if (at > end) break;
        if (!Fill(out, last, colour, code.pixels)) return;
    }
    // The data ended before the image was full.
    std::memset(out, 0, static_cast<size_t>(last - out));
}
