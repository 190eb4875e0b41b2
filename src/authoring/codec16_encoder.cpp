#include <algorithm>

#include "authoring/costume_builder.h"
#include "costume/codec16.h"

namespace {

// What a repeat code costs; shorter runs are cheaper as one-bit codes.
constexpr size_t kRepeatBits = 2 + kCodec16CodeBits + kCodec16RepeatCountBits;

// Appends bits least significant first, filling each byte from its bit 0 up.
struct BitWriter {
    std::vector<uint8_t>* out;
    uint32_t used = 8;  // bits of the last byte already written

    void Put(uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            if (used == 8) {
                out->push_back(0);
                used = 0;
            }
            out->back() = static_cast<uint8_t>(out->back() | ((value >> i) & 1u) << used);
            ++used;
        }
    }
};

// The 3-bit code that steps `from` to `to` (a change of -4 to -1 or +1 to +3), or none.
bool StepCode(uint8_t from, uint8_t to, uint32_t* code) {
    const int step = static_cast<int8_t>(static_cast<uint8_t>(to - from));
    if (step < -4 || step > 3 || step == 0) return false;
    *code = static_cast<uint32_t>(step + static_cast<int>(kCodec16RepeatCode));
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeCodec16(const CostumeFrame& frame, uint8_t bits) {
    const size_t total = static_cast<size_t>(frame.width) * frame.height;
    if (frame.pixels.size() != total || bits > 8) return {};
    const uint32_t colourLimit = 1u << bits;
    const uint8_t* pixels = frame.pixels.data();
    std::vector<uint8_t> out{bits, total > 0 ? pixels[0] : uint8_t{0}};
    BitWriter writer{&out};
    // Rows follow each other without a gap: one sequence of pixels, each code after a pixel
    // saying what the next one holds.
    for (size_t i = 0; i + 1 < total;) {
        const uint8_t colour = pixels[i];
        const uint8_t next = pixels[i + 1];
        if (next == colour) {
            size_t same = 1;
            while (same < kCodec16MaxRepeat && i + 1 + same < total &&
                   pixels[i + 1 + same] == colour)
                ++same;
            if (same > kRepeatBits) {
                writer.Put(0b11, 2);
                writer.Put(kCodec16RepeatCode, kCodec16CodeBits);
                writer.Put(static_cast<uint32_t>(same & 0xFF), kCodec16RepeatCountBits);
                i += same;
            } else {
                writer.Put(0, 1);
                ++i;
            }
            continue;
        }
        uint32_t code = 0;
        const bool fits = next < colourLimit;
        const bool steps = StepCode(colour, next, &code);
        if (!fits && !steps) return {};
        if (steps && (!fits || 3 < bits)) {
            writer.Put(0b11, 2);
            writer.Put(code, kCodec16CodeBits);
        } else {
            writer.Put(0b01, 2);
            writer.Put(next, bits);
        }
        ++i;
    }
    // The decoder takes one more code after the last pixel; give it one.
    if (total > 0) writer.Put(0, 1);
    return out;
}
