// One codec on its own, built once per codec: the input's first five bytes give the frame's
// width and height (16-bit little-endian) and the colour count (codec 1 splits its run
// bytes by it), the rest is the encoded data. Each frame is decoded twice, over two
// different fillings of the pixels, to see that every pixel is written and the same way.
#include <cstring>
#include <vector>

#include "costume/codec1.h"
#include "costume/codec16.h"
#include "costume/codec5.h"
#include "fuzz_support.h"

namespace {

constexpr size_t kHeaderLength = 5;
// Enough for every shape of run; larger frames only repeat them.
constexpr size_t kMaxPixels = size_t{1} << 16;

void Decode(ByteView data, uint32_t colourCount, uint16_t width, uint16_t height, uint8_t* pixels) {
#if DUZURORO_FUZZ_CODEC == 1
    DecodeCodec1(data, colourCount, width, height, pixels);
#elif DUZURORO_FUZZ_CODEC == 5
    (void)colourCount;
    DecodeCodec5(data, width, height, pixels);
#elif DUZURORO_FUZZ_CODEC == 16
    (void)colourCount;
    DecodeCodec16(data, width, height, pixels);
#else
#error "DUZURORO_FUZZ_CODEC names the codec: 1, 5 or 16"
#endif
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
    const size_t pixels = size_t{width} * height;
    if (pixels > kMaxPixels) return 0;
    // The data is a copy of its own, exactly as long, so that a read past it is caught.
    const std::vector<uint8_t> encoded(data + kHeaderLength, data + size);
    const ByteView view{encoded.data(), encoded.size()};
    const uint32_t colourCount = colours == 0 ? 256 : colours;
    std::vector<uint8_t> first(pixels, 0xA5);
    std::vector<uint8_t> second(pixels, 0x5A);
    Decode(view, colourCount, width, height, first.data());
    Decode(view, colourCount, width, height, second.data());
    Require(first == second, "every pixel is written, the same way each time");
    return 0;
}
