#include "authoring/costume_builder.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "authoring/block_writer.h"

namespace {

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
    AppendU16LE(header, static_cast<uint16_t>(frameCount));
    AppendU16LE(header, design.codec);
    std::vector<uint8_t> colourMap(colourCount);
    for (size_t i = 0; i < colourMap.size(); ++i) colourMap[i] = static_cast<uint8_t>(i);

    std::vector<uint8_t> offsets, sizes, data, encoded;
    for (const CostumeFrame& frame : design.frames) {
        if (!EncodeFrame(design, frame, colourCount, &encoded)) return {};
        // Cut to 32 bits only when the block is refused below as too large.
        AppendU32LE(offsets, static_cast<uint32_t>(data.size()));
        AppendU16LE(offsets, static_cast<uint16_t>(sizes.size()));
        AppendU16LE(sizes, frame.width);
        AppendU16LE(sizes, frame.height);
        AppendBytes(data, encoded);
    }

    std::vector<uint8_t> body;
    AppendBlock(body, "VEHD", header);
    AppendBlock(body, "VEPL", colourMap);
    AppendBlock(body, "RGBS", design.colours);
    AppendBlock(body, "VESQ", {});
    AppendBlock(body, "VECH", {});
    AppendBlock(body, "VEOF", offsets);
    AppendBlock(body, "VECI", sizes);
    AppendBlock(body, "VECD", data);
    if (body.size() > std::numeric_limits<uint32_t>::max() - 8) return {};
    std::vector<uint8_t> block;
    AppendBlock(block, "VERM", body);
    return block;
}
