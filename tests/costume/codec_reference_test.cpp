// The decoders against the plainest reading of each encoding: one pixel, one byte and one
// bit at a time, in the order the encoding describes. The decoders take longer strides (bit
// windows, whole runs, wide stores); on random data of every size and length, cut anywhere,
// both must give the same pixels, and neither may read or write outside its buffers.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "costume/codec1.h"
#include "costume/codec16.h"
#include "costume/codec5.h"

namespace {

using Pixels = std::vector<uint8_t>;

// Reads bytes and bits in order; anything past the end ends the decode.
struct Reader {
    const Pixels& data;
    size_t next = 0;
    size_t bit = 0;  // codec 16: bits taken since the start of the code stream
    bool ended = false;

    int Byte() {
        if (next >= data.size()) {
            ended = true;
            return 0;
        }
        return data[next++];
    }
    int Bit() {
        const size_t byte = 2 + bit / 8;
        if (byte >= data.size()) {
            ended = true;
            return 0;
        }
        return (data[byte] >> (bit++ % 8)) & 1;
    }
    int Bits(int count) {
        int value = 0;
        for (int i = 0; i < count; ++i) value |= (i < 8 ? Bit() << i : (Bit(), 0));
        return value;
    }
};

Pixels ReferenceCodec1(const Pixels& data, uint32_t colours, size_t width, size_t height) {
    Pixels out(width * height, 0);
    const int shift = colours == 32 ? 3 : colours == 64 ? 2 : 4;
    Reader in{data};
    size_t x = 0, y = 0;
    while (x < width) {
        const int run = in.Byte();
        int length = run & ((1 << shift) - 1);
        if (length == 0) length = in.Byte();
        if (in.ended) break;
        for (int i = 0; i < length && x < width; ++i) {
            out[y * width + x] = static_cast<uint8_t>(run >> shift);
            if (++y == height) y = 0, ++x;
        }
    }
    return out;
}

Pixels ReferenceCodec5(const Pixels& data, size_t width, size_t height) {
    Pixels out(width * height, 0);
    size_t record = 0;
    for (size_t y = 0; y < height; ++y) {
        Reader in{data, record};
        const int length = in.Byte() | in.Byte() << 8;
        if (in.ended) break;
        for (size_t x = 0; x < width;) {
            const int control = in.Byte();
            if (in.ended) return out;
            const int run = (control >> 1) + 1;
            const int fill = control & 1 ? in.Byte() : 0;
            for (int i = 0; i < run && x < width; ++i) {
                const int value = control & 1 ? fill : in.Byte();
                if (in.ended) return out;
                out[y * width + x++] = static_cast<uint8_t>(value);
            }
        }
        record += static_cast<size_t>(length) + 2;
    }
    return out;
}

Pixels ReferenceCodec16(const Pixels& data, size_t width, size_t height) {
    Pixels out(width * height, 0);
    if (data.size() < 2) return out;
    const int bits = data[0];
    int colour = data[1];
    int repeat = 0;
    Reader in{data};
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<uint8_t>(colour);
        if (i + 1 == out.size()) break;  // the code after the last pixel changes nothing
        if (repeat > 0) {
            --repeat;
            continue;
        }
        if (in.Bit() == 0) {
            if (in.ended) break;
            continue;
        }
        int next = colour;
        if (in.Bit() == 0) {
            next = in.Bits(bits);
        } else {
            const int step = in.Bits(3);
            if (step == 4) {
                repeat = (in.Bits(8) + 255) % 256;
            } else {
                next = (colour + step - 4) & 0xFF;
            }
        }
        if (in.ended) break;
        colour = next;
    }
    return out;
}

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
                    expected = ReferenceCodec1(data, colours, width, height);
                    for (size_t i = 0; i < pixels; ++i)
                        if (i % width >= shown.width) expected[i] = 0;
                } else if (codec == 5) {
                    DecodeCodec5(view, width, height, decoded.data(), shown);
                    expected = ReferenceCodec5(data, width, height);
                } else {
                    DecodeCodec16(view, width, height, decoded.data(), shown);
                    expected = ReferenceCodec16(data, width, height);
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
