#include "frontends/win32/icon_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/program_icon.h"
#include "common/byte_view.h"

namespace {

// One image of the file, read back the way Windows reads it: colour rows and mask rows
// bottom-up, each padded to 32 bits, the mask's first pixel in the top bit.
struct DecodedImage {
    uint16_t size = 0;
    std::vector<uint8_t> indices;  // top row first
    std::vector<bool> masked;
    std::vector<uint8_t> palette;  // red, green, blue
};

bool DecodeImage(ByteView file, size_t entry, DecodedImage* out) {
    uint8_t width = 0, height = 0, colours = 0;
    uint16_t planes = 0, bits = 0;
    uint32_t bytes = 0, offset = 0;
    const size_t at = 6 + 16 * entry;
    if (!file.ReadU8(at, &width) || !file.ReadU8(at + 1, &height) ||
        !file.ReadU8(at + 2, &colours) || !file.ReadU16LE(at + 4, &planes) ||
        !file.ReadU16LE(at + 6, &bits) || !file.ReadU32LE(at + 8, &bytes) ||
        !file.ReadU32LE(at + 12, &offset)) {
        return false;
    }
    const size_t size = width;
    const size_t pixelStride = (size + 3) / 4 * 4, maskStride = (size + 31) / 32 * 4;
    ByteView image;
    if (height != width || colours != 0 || planes != 1 || bits != 8 ||
        !file.Sub(offset, bytes, &image) ||
        bytes != 40 + 1024 + size * (pixelStride + maskStride)) {
        return false;
    }
    uint32_t headerSize = 0, headerWidth = 0, headerHeight = 0;
    uint16_t headerBits = 0;
    if (!image.ReadU32LE(0, &headerSize) || headerSize != 40 || !image.ReadU32LE(4, &headerWidth) ||
        headerWidth != size || !image.ReadU32LE(8, &headerHeight) || headerHeight != 2 * size ||
        !image.ReadU16LE(14, &headerBits) || headerBits != 8) {
        return false;
    }
    out->size = width;
    out->palette.clear();
    for (size_t i = 0; i < 256; ++i) {
        const uint8_t* quad = image.data + 40 + 4 * i;
        out->palette.insert(out->palette.end(), {quad[2], quad[1], quad[0]});
    }
    const uint8_t* colourRows = image.data + 40 + 1024;
    const uint8_t* maskRows = colourRows + size * pixelStride;
    out->indices.assign(size * size, 0);
    out->masked.assign(size * size, false);
    for (size_t y = 0; y < size; ++y) {
        const size_t fileRow = size - 1 - y;
        for (size_t x = 0; x < size; ++x) {
            out->indices[y * size + x] = colourRows[fileRow * pixelStride + x];
            out->masked[y * size + x] = (maskRows[fileRow * maskStride + x / 8] >> (7 - x % 8)) & 1;
        }
    }
    return true;
}

TEST(Win32IconFileTest, HoldsEveryCarriedSizeAsTheProgramDrawsIt) {
    const std::vector<uint8_t> file = BuildIconFile();
    const ByteView view{file.data(), file.size()};
    uint16_t reserved = 1, type = 0, count = 0;
    ASSERT_TRUE(view.ReadU16LE(0, &reserved) && view.ReadU16LE(2, &type) &&
                view.ReadU16LE(4, &count));
    EXPECT_EQ(reserved, 0);
    EXPECT_EQ(type, 1);
    ASSERT_EQ(count, std::size(kProgramIconSizes));

    for (size_t entry = 0; entry < count; ++entry) {
        SCOPED_TRACE(kProgramIconSizes[entry]);
        DecodedImage decoded;
        ASSERT_TRUE(DecodeImage(view, entry, &decoded));
        ProgramIcon icon;
        ASSERT_TRUE(icon.Draw(kProgramIconSizes[entry]));
        EXPECT_EQ(decoded.size, icon.size);
        EXPECT_EQ(decoded.palette, icon.palette);
        EXPECT_EQ(decoded.indices, icon.pixels);
        for (size_t i = 0; i < icon.pixels.size(); ++i) {
            ASSERT_EQ(decoded.masked[i], icon.pixels[i] == ProgramIcon::kTransparent) << i;
        }
    }
}

// The resource script embeds the committed file; it must be what the code draws today.
TEST(Win32IconFileTest, CommittedIconIsUpToDate) {
    std::ifstream in(DUZURORO_COMMITTED_ICON, std::ios::binary);
    ASSERT_TRUE(in) << DUZURORO_COMMITTED_ICON;
    const std::vector<uint8_t> committed{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
    EXPECT_TRUE(committed == BuildIconFile())
        << "rewrite it with: duzuroro-icon frontends/win32/duzuroro.ico";
}

}  // namespace
