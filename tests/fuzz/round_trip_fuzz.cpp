// The encoders against the decoders: whatever frame goes in comes back identical, for each
// codec and every colour count its encoder takes. The input's first four bytes give the
// frame's width and height (16-bit little-endian), the fifth the colour count (0: 256; for
// codec 16, the count modulo 9 is its colour bits), and the rest the pixels, repeated to
// fill the frame (all 0 when there are none); each encoder gets them limited to the colours
// it can hold. Codec 16 is also given the pixels as they are: it must refuse them exactly
// when a colour can be neither given in its bits nor stepped to.
#include <algorithm>
#include <vector>

#include "authoring/costume_builder.h"
#include "costume/codec1.h"
#include "costume/codec16.h"
#include "costume/codec5.h"
#include "fuzz_support.h"

namespace {

constexpr size_t kHeaderLength = 5;
// Enough for every shape of run, so that each input stays quick; larger frames only repeat
// them. A frame one pixel wide may be taller than codec 1's tile of columns (16384 pixels).
constexpr size_t kMaxPixels = size_t{1} << 12;
constexpr size_t kMaxColumnPixels = size_t{1} << 15;

using Bytes = std::vector<uint8_t>;

// The frame with every pixel taken modulo `colours`.
CostumeFrame Limited(const CostumeFrame& frame, uint32_t colours) {
    CostumeFrame limited = frame;
    for (uint8_t& pixel : limited.pixels) pixel = static_cast<uint8_t>(pixel % colours);
    return limited;
}

Bytes Decoded(uint16_t codec, const Bytes& encoded, uint32_t colourCount, const CostumeFrame& frame) {
    Bytes pixels(frame.pixels.size(), 0xA5);
    const ByteView view{encoded.data(), encoded.size()};
    if (codec == 1) DecodeCodec1(view, colourCount, frame.width, frame.height, pixels.data());
    if (codec == 5) DecodeCodec5(view, frame.width, frame.height, pixels.data());
    if (codec == 16) DecodeCodec16(view, frame.width, frame.height, pixels.data());
    return pixels;
}

void RequireRoundTrip(uint16_t codec, const Bytes& encoded, uint32_t colourCount,
                      const CostumeFrame& frame) {
    Require(frame.pixels.empty() || !encoded.empty(), "the encoder takes a frame it can hold");
    Require(Decoded(codec, encoded, colourCount, frame) == frame.pixels,
            "the decoder gives back the frame that was encoded");
}

// The count splits the run byte: 32 and 64 colours have 5 and 6 colour bits, any other 4.
void Codec1(const CostumeFrame& frame, uint32_t count) {
    const uint32_t colourBits = 8 - Codec1LengthBits(count);
    const CostumeFrame limited = Limited(frame, std::min(count, 1u << colourBits));
    RequireRoundTrip(1, EncodeCodec1(limited, count), count, limited);
}

void Codec5(const CostumeFrame& frame, uint32_t count) {
    const CostumeFrame limited = Limited(frame, count);
    RequireRoundTrip(5, EncodeCodec5(limited), count, limited);
}

// Whether codec 16 with `bits` bits can reach every pixel from the one before it.
bool Codec16Holds(const CostumeFrame& frame, uint8_t bits) {
    for (size_t i = 1; i < frame.pixels.size(); ++i) {
        const uint8_t from = frame.pixels[i - 1];
        const uint8_t to = frame.pixels[i];
        const int step = static_cast<int8_t>(static_cast<uint8_t>(to - from));
        if (to != from && (to >> bits) != 0 && (step < -4 || step > 3)) return false;
    }
    return true;
}

void Codec16(const CostumeFrame& frame, uint8_t bits) {
    const CostumeFrame limited = Limited(frame, 1u << bits);
    RequireRoundTrip(16, EncodeCodec16(limited, bits), 0, limited);
    const Bytes encoded = EncodeCodec16(frame, bits);
    if (Codec16Holds(frame, bits)) {
        RequireRoundTrip(16, encoded, 0, frame);
    } else {
        Require(encoded.empty(), "codec 16 refuses a frame it cannot hold");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteView input{data, size};
    CostumeFrame frame;
    uint8_t countByte = 0;
    if (!input.ReadU16LE(0, &frame.width) || !input.ReadU16LE(2, &frame.height) ||
        !input.ReadU8(4, &countByte)) {
        return 0;
    }
    const size_t pixels = size_t{frame.width} * frame.height;
    if (pixels > (frame.width == 1 ? kMaxColumnPixels : kMaxPixels)) return 0;
    frame.pixels.resize(pixels, 0);
    const size_t given = size - kHeaderLength;
    for (size_t i = 0; given > 0 && i < pixels; ++i) frame.pixels[i] = data[kHeaderLength + i % given];
    const uint32_t count = countByte == 0 ? 256 : countByte;
    Codec1(frame, count);
    Codec5(frame, count);
    Codec16(frame, static_cast<uint8_t>(countByte % 9));
    return 0;
}
