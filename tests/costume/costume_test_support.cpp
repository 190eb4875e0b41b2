#include "costume/costume_test_support.h"

#include "frontends/headless/headless_frontend.h"

std::vector<uint8_t> U16(uint16_t value) {
    return {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)};
}

std::vector<uint8_t> U32(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

namespace {

void PutTagged(std::vector<uint8_t>* out, const std::string& tag, size_t payloadSize) {
    out->insert(out->end(), tag.begin(), tag.end());
    const size_t size = payloadSize + 8;
    for (int shift = 24; shift >= 0; shift -= 8)
        out->push_back(static_cast<uint8_t>(size >> shift));
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

std::vector<uint8_t> DecodeOnly(const std::vector<uint8_t>& block) {
    Rendered rendered = RenderFrame(block);
    return rendered.ok ? rendered.image.pixels : std::vector<uint8_t>{};
}
