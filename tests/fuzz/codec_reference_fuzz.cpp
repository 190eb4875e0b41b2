// One decoder against the plain reading of its encoding (support/codec_reference.h), built
// once per codec. The input is laid out as for the codec targets, so that they share their
// seeds: width and height (16-bit little-endian), the colour count byte, the encoded data.
// The data's last byte also picks the part of the frame that is shown, as a zoomed frame
// shows only a part. Both readings must give the same pixels, and the decoder must stop where
// the plain reading does: given only the bytes that reading looked at, it gives the same.
#include <algorithm>
#include <vector>

#include "costume/codec1.h"
#include "costume/codec16.h"
#include "costume/codec5.h"
#include "fuzz_support.h"
#include "support/codec_reference.h"

namespace {

constexpr size_t kHeaderLength = 5;
// Enough for every shape of run, so that each input stays quick; larger frames only repeat
// them. A frame one pixel wide may be taller than codec 1's tile of columns (16384 pixels).
constexpr size_t kMaxPixels = size_t{1} << 12;
constexpr size_t kMaxColumnPixels = size_t{1} << 16;

using Bytes = std::vector<uint8_t>;

Bytes Decode(const Bytes& data, uint32_t colourCount, uint16_t width, uint16_t height,
             ShownArea shown) {
    Bytes pixels(size_t{width} * height, 0xA5);
    const ByteView view{data.data(), data.size()};
#if DUZURORO_FUZZ_CODEC == 1
    DecodeCodec1(view, colourCount, width, height, pixels.data(), shown);
#elif DUZURORO_FUZZ_CODEC == 5
    (void)colourCount;
    DecodeCodec5(view, width, height, pixels.data(), shown);
#elif DUZURORO_FUZZ_CODEC == 16
    (void)colourCount;
    DecodeCodec16(view, width, height, pixels.data(), shown);
#else
#error "DUZURORO_FUZZ_CODEC names the codec: 1, 5 or 16"
#endif
    return pixels;
}

ReferenceDecode Reference(const Bytes& data, uint32_t colourCount, uint16_t width,
                          uint16_t height) {
#if DUZURORO_FUZZ_CODEC == 1
    return ReferenceCodec1(data, colourCount, width, height);
#elif DUZURORO_FUZZ_CODEC == 5
    (void)colourCount;
    return ReferenceCodec5(data, width, height);
#else
    (void)colourCount;
    return ReferenceCodec16(data, width, height);
#endif
}

// What the decoder must give when only `shown` is asked for: the reading's pixels there, 0
// outside (codec 1 may cut at the shown columns, the others at the shown rows).
Bytes ShownPart(Bytes pixels, uint16_t width, ShownArea shown) {
    for (size_t i = 0; i < pixels.size(); ++i) {
        const bool hidden = DUZURORO_FUZZ_CODEC == 1 ? i % width >= shown.width
                                                     : i / width >= shown.height;
        if (hidden) pixels[i] = 0;
    }
    return pixels;
}

void Check(const Bytes& data, uint32_t colourCount, uint16_t width, uint16_t height,
           ShownArea shown) {
    const ReferenceDecode reference = Reference(data, colourCount, width, height);
    Require(reference.consumed <= data.size(), "the plain reading stays inside the data");
    const Bytes expected = ShownPart(reference.pixels, width, shown);
    Require(Decode(data, colourCount, width, height, shown) == expected,
            "the decoder gives the plain reading's pixels");
    // The bytes past the point where the plain reading stopped change nothing.
    const Bytes read(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(reference.consumed));
    Require(Decode(read, colourCount, width, height, shown) == expected,
            "the decoder stops where the plain reading stops");
    const ReferenceDecode again = Reference(read, colourCount, width, height);
    Require(again.consumed == reference.consumed && again.ranOut == reference.ranOut &&
                again.pixels == reference.pixels,
            "the plain reading of what it read is the same");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteView input{data, size};
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t colours = 0;
    if (!input.ReadU16LE(0, &width) || !input.ReadU16LE(2, &height) || !input.ReadU8(4, &colours)) {
        return 0;
    }
    if (size_t{width} * height > (width == 1 ? kMaxColumnPixels : kMaxPixels)) return 0;
    // The data is a copy of its own, exactly as long, so that a read past it is caught.
    const Bytes encoded(data + kHeaderLength, data + size);
    const uint32_t colourCount = colours == 0 ? 256 : colours;
    Check(encoded, colourCount, width, height, ShownArea{});
    const uint8_t pick = encoded.empty() ? 0 : encoded.back();
    const ShownArea part{static_cast<uint16_t>(width * (pick & 15) / 15),
                         static_cast<uint16_t>(height * (pick >> 4) / 15)};
    Check(encoded, colourCount, width, height, part);
    return 0;
}
