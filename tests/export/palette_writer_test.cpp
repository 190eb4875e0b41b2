// A costume's palette in the three files paint programs read, byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "export/palette_writer.h"

namespace {

std::string Written(PaletteFormat format, std::optional<uint8_t> transparent) {
    uint8_t palette[768];
    for (int i = 0; i < 768; ++i) palette[i] = static_cast<uint8_t>(i / 3 + i % 3);
    std::FILE* file = std::tmpfile();
    std::string error;
    EXPECT_TRUE(WritePalette(file, format, palette, "costume-0003", transparent, &error)) << error;
    std::rewind(file);
    std::string bytes;
    for (int c; (c = std::fgetc(file)) != EOF;) bytes += static_cast<char>(c);
    std::fclose(file);
    return bytes;
}

TEST(PaletteWriter, WritesEachFormatsHeaderEntriesAndTail) {
    const std::string gpl = Written(PaletteFormat::Gpl, std::nullopt);
    EXPECT_EQ(gpl.substr(0, 66),
              "GIMP Palette\nName: costume-0003\nColumns: 16\n#\n  0   1   2\tIndex 0\n");
    EXPECT_NE(gpl.find("\n255   0   1\tIndex 255\n"), std::string::npos);  // 8-bit wraps

    const std::string pal = Written(PaletteFormat::Pal, std::nullopt);
    EXPECT_EQ(pal.substr(0, 28), "JASC-PAL\r\n0100\r\n256\r\n0 1 2\r\n");
    EXPECT_EQ(pal.substr(pal.size() - 11), "\r\n255 0 1\r\n");

    for (const auto& [transparent, tail] :
         {std::pair<std::optional<uint8_t>, std::string>{std::nullopt,
                                                         std::string("\x01\x00\xFF\xFF", 4)},
          {uint8_t{5}, std::string("\x01\x00\x00\x05", 4)}}) {
        const std::string act = Written(PaletteFormat::Act, transparent);
        ASSERT_EQ(act.size(), 772u);
        EXPECT_EQ(act.substr(0, 6), std::string("\x00\x01\x02\x01\x02\x03", 6));
        EXPECT_EQ(act.substr(768), tail);
    }
    EXPECT_STREQ(PaletteExtension(PaletteFormat::Act), "act");
}

}  // namespace
