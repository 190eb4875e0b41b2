#include "costume/costume_test_support.h"

#include <gtest/gtest.h>

#include "common/byte_writer.h"
#include "costume/codec1.h"
#include "costume/codec16.h"
#include "costume/codec5.h"
#include "frontends/headless/headless_frontend.h"

std::vector<uint8_t> U16(uint16_t value) {
    std::vector<uint8_t> bytes;
    AppendU16LE(bytes, value);
    return bytes;
}

std::vector<uint8_t> U32(uint32_t value) {
    std::vector<uint8_t> bytes;
    AppendU32LE(bytes, value);
    return bytes;
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

namespace {

void PutTagged(std::vector<uint8_t>* out, const std::string& tag, size_t payloadSize) {
    out->insert(out->end(), tag.begin(), tag.end());
    AppendU32BE(*out, static_cast<uint32_t>(payloadSize + 8));
}

}  // namespace

std::vector<uint8_t> RawBlock(const std::vector<SubBlock>& subBlocks) {
    std::vector<uint8_t> body;
    for (const SubBlock& sub : subBlocks) {
        PutTagged(&body, sub.tag, sub.payload.size());
        body.insert(body.end(), sub.payload.begin(), sub.payload.end());
    }
    std::vector<uint8_t> block;
    PutTagged(&block, "VERM", body.size());
    block.insert(block.end(), body.begin(), body.end());
    return block;
}

std::vector<SubBlock> OneFrame(uint16_t codec, uint32_t colourCount, uint16_t width,
                               uint16_t height, const std::vector<uint8_t>& data) {
    return {{"VEHD", Concat({std::vector<uint8_t>(6), U16(1), U16(codec)})},
            {"VEPL", std::vector<uint8_t>(colourCount)},
            {"RGBS", std::vector<uint8_t>(static_cast<size_t>(colourCount) * 3, 0x11)},
            {"VEOF", Concat({U32(0), U16(0)})},
            {"VECI", Concat({U16(width), U16(height)})},
            {"VECD", data}};
}

Rendered RenderFrame(const std::vector<uint8_t>& block, uint16_t frame) {
    Rendered result;
    g_headless.TakeErrors();
    // Allocated at exactly the block's size: one byte more would hide an overread.
    const std::vector<uint8_t> exact(block.begin(), block.end());
    Costume costume(ByteView{exact.data(), exact.size()});
    result.ok =
        costume.Parse() && costume.SelectFrame(frame) && costume.Render(&result.image, 0, 0);
    result.errors = g_headless.TakeErrors();
    return result;
}

std::vector<uint8_t> DecodeWith(uint16_t codec, const std::vector<uint8_t>& data,
                                uint32_t colourCount, uint16_t width, uint16_t height,
                                uint8_t fill) {
    constexpr size_t kGuard = 16;
    const std::vector<uint8_t> exact(data.begin(), data.end());
    const ByteView view{exact.data(), exact.size()};
    const size_t count = size_t{width} * height;
    std::vector<uint8_t> buffer(kGuard + count + kGuard, fill);
    uint8_t* pixels = buffer.data() + kGuard;
    switch (codec) {
        case 1:
            DecodeCodec1(view, colourCount, width, height, pixels);
            break;
        case 5:
            DecodeCodec5(view, width, height, pixels);
            break;
        case 16:
            DecodeCodec16(view, width, height, pixels);
            break;
        default:
            ADD_FAILURE() << "no codec " << codec;
    }
    const std::vector<uint8_t> guard(kGuard, fill);
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + kGuard), guard)
        << "written before the pixels";
    EXPECT_EQ(std::vector<uint8_t>(buffer.end() - kGuard, buffer.end()), guard)
        << "written after the pixels";
    return std::vector<uint8_t>(pixels, pixels + count);
}
