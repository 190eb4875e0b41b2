#include "costume/costume_builder.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

void PutU16LE(std::vector<uint8_t>* out, size_t value) {
    out->push_back(static_cast<uint8_t>(value & 0xFF));
    out->push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void PutU32LE(std::vector<uint8_t>* out, size_t value) {
    PutU16LE(out, value & 0xFFFF);
    PutU16LE(out, (value >> 16) & 0xFFFF);
}

void PutU32BE(std::vector<uint8_t>* out, size_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out->push_back(static_cast<uint8_t>((value >> shift) & 0xFF));
}

void PutBlock(std::vector<uint8_t>* out, const char (&tag)[5],
              const std::vector<uint8_t>& payload) {
    out->insert(out->end(), tag, tag + 4);
    PutU32BE(out, payload.size() + 8);
    out->insert(out->end(), payload.begin(), payload.end());
}

// The fewest bits (at least 1) that hold every colour of the frame.
uint8_t FewestBits(const CostumeFrame& frame) {
    const uint8_t highest =
        frame.pixels.empty() ? 0 : *std::max_element(frame.pixels.begin(), frame.pixels.end());
    uint8_t bits = 1;
    while (bits < 8 && (highest >> bits) != 0) ++bits;
    return bits;
}

// False when the codec refuses the frame; a frame with pixels never encodes to nothing.
bool EncodeFrame(const CostumeDesign& design, const CostumeFrame& frame, uint32_t colourCount,
                 std::vector<uint8_t>* data) {
    switch (design.codec) {
        case 1:
            *data = EncodeCodec1(frame, colourCount);
            break;
        case 5:
            *data = EncodeCodec5(frame);
            break;
        case 16:
            *data =
                EncodeCodec16(frame, design.codec16Bits ? design.codec16Bits : FewestBits(frame));
            break;
        default:
            return false;
    }
    return !data->empty() || frame.pixels.empty();
}

}  // namespace

std::vector<uint8_t> BuildCostumeBlock(const CostumeDesign& design) {
    const size_t frameCount = design.frames.size();
    // Size records are 4 bytes at 16-bit offsets.
    if (design.colours.size() % 3 != 0 || frameCount > 65536 / 4) return {};
    const uint32_t colourCount = static_cast<uint32_t>(design.colours.size() / 3);

    std::vector<uint8_t> header(6, 0);
    PutU16LE(&header, frameCount);
    PutU16LE(&header, design.codec);
    std::vector<uint8_t> colourMap(colourCount);
    for (size_t i = 0; i < colourMap.size(); ++i) colourMap[i] = static_cast<uint8_t>(i);

    std::vector<uint8_t> offsets, sizes, data, encoded;
    for (const CostumeFrame& frame : design.frames) {
        if (!EncodeFrame(design, frame, colourCount, &encoded)) return {};
        PutU32LE(&offsets, data.size());
        PutU16LE(&offsets, sizes.size());
        PutU16LE(&sizes, frame.width);
        PutU16LE(&sizes, frame.height);
        data.insert(data.end(), encoded.begin(), encoded.end());
    }

    std::vector<uint8_t> body;
    PutBlock(&body, "VEHD", header);
    PutBlock(&body, "VEPL", colourMap);
    PutBlock(&body, "RGBS", design.colours);
    PutBlock(&body, "VESQ", {});
    PutBlock(&body, "VECH", {});
    PutBlock(&body, "VEOF", offsets);
    PutBlock(&body, "VECI", sizes);
    PutBlock(&body, "VECD", data);
    if (body.size() > std::numeric_limits<uint32_t>::max() - 8) return {};
    std::vector<uint8_t> block;
    PutBlock(&block, "VERM", body);
    return block;
}
