// The decoders against the plainest reading of each encoding (support/codec_reference.h):
// on random data of every size and length, cut anywhere, both must give the same pixels, and
// neither may read or write outside its buffers.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "costume/codec1.h"
#include "costume/codec16.h"
#include "costume/codec5.h"
#include "support/codec_reference.h"

namespace {

using Pixels = std::vector<uint8_t>;

// Data that each codec reads in the ways that matter: codec 16 streams made of chosen codes
// (long keeps, literals, steps, repeats), the others random bytes with a bias to the
// control values that make long runs.
Pixels RandomData(uint16_t codec, size_t size, std::mt19937& random) {
    Pixels data(size);
    for (uint8_t& byte : data) {
        const uint32_t pick = random() % 8;
        byte = pick == 0 ? 0 : pick == 1 ? 0xFF : static_cast<uint8_t>(random());
    }
    if (codec == 16 && size > 0) data[0] = static_cast<uint8_t>(random() % 3 == 0 ? random() % 12 : 8);
    return data;
}

TEST(CodecReference, EveryDecoderGivesThePlainReadingsPixels) {
    std::mt19937 random(2024);
    const uint16_t sizes[][2] = {{1, 1}, {1, 7}, {7, 1}, {13, 9}, {64, 96}, {200, 3}, {3, 300}, {2, 17000}};
    for (const uint16_t codec : {uint16_t{1}, uint16_t{5}, uint16_t{16}}) {
        for (const auto& size : sizes) {
            const uint16_t width = size[0], height = size[1];
            const size_t pixels = size_t{width} * height;
            for (int trial = 0; trial < 40; ++trial) {
                // From nothing to more than any image needs, so that every image is cut short
                // somewhere and also completed.
                const size_t length = random() % (2 * pixels + 40);
                const Pixels data = RandomData(codec, length, random);
                Pixels decoded(pixels, 0xCD);
                const ByteView view{data.data(), data.size()};
                // Every third trial shows only a part, as a zoomed frame does: that part must
                // be exact and the rest 0.
                ShownArea shown;
                if (trial % 3 == 0) {
                    shown.width = static_cast<uint16_t>(random() % (width + 1u));
                    shown.height = static_cast<uint16_t>(random() % (height + 1u));
                }
                Pixels expected;
                if (codec == 1) {
                    const uint32_t colours = std::vector<uint32_t>{16, 32, 64, 256}[random() % 4];
                    DecodeCodec1(view, colours, width, height, decoded.data(), shown);
                    expected = ReferenceCodec1(data, colours, width, height).pixels;
                    for (size_t i = 0; i < pixels; ++i)
                        if (i % width >= shown.width) expected[i] = 0;
                } else if (codec == 5) {
                    DecodeCodec5(view, width, height, decoded.data(), shown);
                    expected = ReferenceCodec5(data, width, height).pixels;
                } else {
                    DecodeCodec16(view, width, height, decoded.data(), shown);
                    expected = ReferenceCodec16(data, width, height).pixels;
                }
                if (codec != 1) {
                    for (size_t i = size_t{width} * std::min(height, shown.height); i < pixels; ++i)
                        expected[i] = 0;
                }
                ASSERT_EQ(decoded, expected)
                    << "codec " << codec << ", " << width << " x " << height << ", "
                    << length << " bytes, trial " << trial;
            }
        }
    }
}

}  // namespace

// Where the plain reading stops, which the fuzz targets hold the decoders to: a whole frame
// stops after its last run or code, a cut one where the data ends.
TEST(CodecReference, ThePlainReadingStopsAfterWhatTheFrameNeeds) {
    struct Case {
        const char* what;
        uint16_t codec;
        uint16_t width, height;
        Pixels data;
        Pixels pixels;
        size_t consumed;
        bool ranOut;
    };
    const Case cases[] = {
        {"codec 1, 32 colours, an empty long run and a run cut at the end", 1, 2, 3,
         {0x2C, 0x08, 0x00, 0x3B, 0x11}, {5, 5, 5, 7, 5, 7}, 4, false},
        {"codec 1, the data ends inside a long run", 1, 2, 3, {0x2C, 0x08}, {5, 5, 5, 0, 5, 0}, 2, true},
        {"codec 5, a fill, the next row's record never read", 5, 2, 1, {3, 0, 3, 9, 1, 1}, {9, 9}, 4, false},
        {"codec 5, the data ends before the fill's colour", 5, 2, 1, {3, 0, 3}, {0, 0}, 3, true},
        {"codec 16, a keep", 16, 2, 1, {8, 7, 0, 0xFF}, {7, 7}, 3, false},
        {"codec 16, the data ends before the first code", 16, 2, 1, {8, 7}, {7, 0}, 2, true},
        {"codec 16, no code after the last pixel", 16, 1, 1, {8, 7, 0xFF}, {7}, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ReferenceDecode read = c.codec == 1    ? ReferenceCodec1(c.data, 32, c.width, c.height)
                                     : c.codec == 5 ? ReferenceCodec5(c.data, c.width, c.height)
                                                    : ReferenceCodec16(c.data, c.width, c.height);
        EXPECT_EQ(read.pixels, c.pixels);
        EXPECT_EQ(read.consumed, c.consumed);
        EXPECT_EQ(read.ranOut, c.ranOut);
    }
}
