#include <algorithm>

#include "authoring/costume_builder.h"
#include "costume/codec1.h"

std::vector<uint8_t> EncodeCodec1(const CostumeFrame& frame, uint32_t colourCount) {
    const size_t width = frame.width;
    const size_t height = frame.height;
    if (frame.pixels.size() != width * height) return {};
    const uint32_t shift = Codec1LengthBits(colourCount);
    const size_t maxShortRun = (1u << shift) - 1;
    const uint32_t colourLimit = 1u << (8 - shift);

    // Runs go down the columns and on into the next one, as the decoder reads them.
    std::vector<uint8_t> out;
    size_t i = 0;
    const size_t total = width * height;
    auto pixelAt = [&](size_t index) {
        return frame.pixels[(index % height) * width + index / height];
    };
    while (i < total) {
        const uint8_t colour = pixelAt(i);
        if (colour >= colourLimit) return {};
        size_t length = 1;
        while (i + length < total && pixelAt(i + length) == colour) ++length;
        i += length;
        const uint8_t high = static_cast<uint8_t>(colour << shift);
        while (length > 0) {
            if (length <= maxShortRun) {
                out.push_back(static_cast<uint8_t>(high | length));
                break;
            }
            // Longer runs take the length byte, 255 pixels at the most each.
            const size_t part = std::min<size_t>(length, kCodec1MaxLongRun);
            out.push_back(high);
            out.push_back(static_cast<uint8_t>(part));
            length -= part;
        }
    }
    return out;
}
