#include "export/pixel_hash.h"

#include <nettle/sha2.h>

#include <algorithm>

#include "costume/costume_palette.h"

namespace {

std::string HexDigest(sha256_ctx& context) {
    uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&context, sizeof digest, digest);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const uint8_t byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

}  // namespace

std::string FrameSha256(const IndexedImage& frame) {
    sha256_ctx context;
    sha256_init(&context);
    const uint8_t size[4] = {static_cast<uint8_t>(frame.width), static_cast<uint8_t>(frame.width >> 8),
                             static_cast<uint8_t>(frame.height),
                             static_cast<uint8_t>(frame.height >> 8)};
    sha256_update(&context, sizeof size, size);
    sha256_update(&context, size_t{frame.width} * frame.height, frame.pixels.data());
    return HexDigest(context);
}

std::string PaletteSha256(const Costume& costume) {
    const CostumePalette palette = PaletteOf(costume);
    const size_t entries = std::min(costume.colourCount, kCostumePaletteEntries);
    sha256_ctx context;
    sha256_init(&context);
    sha256_update(&context, entries * 3, palette.data());
    return HexDigest(context);
}
