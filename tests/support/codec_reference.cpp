#include "support/codec_reference.h"

#include <algorithm>

namespace {

// Reads bytes and bits in order; anything past the end ends the decode.
struct Reader {
    const std::vector<uint8_t>& data;
    size_t next = 0;
    size_t bit = 0;  // codec 16: bits taken since the start of the code stream
    bool ended = false;
    size_t consumed = 0;  // one past the furthest byte read

    int At(size_t byte) {
        if (byte >= data.size()) {
            ended = true;
            return 0;
        }
        consumed = std::max(consumed, byte + 1);
        return data[byte];
    }
    int Byte() {
        const int value = At(next);
        if (!ended) ++next;
        return value;
    }
    int Bit() {
        const int byte = At(2 + bit / 8);
        return ended ? 0 : (byte >> (bit++ % 8)) & 1;
    }
    int Bits(int count) {
        int value = 0;
        for (int i = 0; i < count; ++i) value |= (i < 8 ? Bit() << i : (Bit(), 0));
        return value;
    }
};

}  // namespace

ReferenceDecode ReferenceCodec1(const std::vector<uint8_t>& data, uint32_t colourCount,
                                size_t width, size_t height) {
    ReferenceDecode result;
    result.pixels.assign(width * height, 0);
    const int shift = colourCount == 32 ? 3 : colourCount == 64 ? 2 : 4;
    Reader in{data};
    size_t x = 0, y = 0;
    while (x < width && height > 0) {
        const int run = in.Byte();
        int length = run & ((1 << shift) - 1);
        if (length == 0) length = in.Byte();
        if (in.ended) break;
        for (int i = 0; i < length && x < width; ++i) {
            result.pixels[y * width + x] = static_cast<uint8_t>(run >> shift);
            if (++y == height) y = 0, ++x;
        }
    }
    result.consumed = in.consumed;
    result.ranOut = in.ended;
    return result;
}

ReferenceDecode ReferenceCodec5(const std::vector<uint8_t>& data, size_t width, size_t height) {
    ReferenceDecode result;
    result.pixels.assign(width * height, 0);
    if (width == 0) return result;
    size_t record = 0;
    for (size_t y = 0; y < height && !result.ranOut; ++y) {
        Reader in{data, record};
        const int length = in.Byte() | in.Byte() << 8;
        for (size_t x = 0; x < width && !in.ended;) {
            const int control = in.Byte();
            if (in.ended) break;
            const int run = (control >> 1) + 1;
            const int fill = control & 1 ? in.Byte() : 0;
            for (int i = 0; i < run && x < width; ++i) {
                const int value = control & 1 ? fill : in.Byte();
                if (in.ended) break;
                result.pixels[y * width + x++] = static_cast<uint8_t>(value);
            }
        }
        result.consumed = std::max(result.consumed, in.consumed);
        result.ranOut = in.ended;
        record += static_cast<size_t>(length) + 2;
    }
    return result;
}

ReferenceDecode ReferenceCodec16(const std::vector<uint8_t>& data, size_t width, size_t height) {
    ReferenceDecode result;
    result.pixels.assign(width * height, 0);
    std::vector<uint8_t>& out = result.pixels;
    if (out.empty()) return result;
    if (data.size() < 2) {
        result.consumed = data.size();
        result.ranOut = true;
        return result;
    }
    const int bits = data[0];
    int colour = data[1];
    int repeat = 0;
    Reader in{data};
    in.consumed = 2;
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
    result.consumed = in.consumed;
    result.ranOut = in.ended;
    return result;
}
