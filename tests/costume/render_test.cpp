// Rendering the selected frame: the image's size, position and palette, and its failures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "costume/costume_test_support.h"
#include "frontends/headless/headless_frontend.h"

namespace {

using Errors = std::vector<std::string>;

// A one-pixel codec 1 frame with `colourCount` and an RGBS of `rgbsBytes` bytes 1, 2, 3...
std::vector<uint8_t> PaletteBlock(uint32_t colourCount, size_t rgbsBytes, bool withRgbs = true) {
    auto subBlocks = OneFrame(1, colourCount, 1, 1, {0x11});
    std::vector<uint8_t> colours(rgbsBytes);
    for (size_t i = 0; i < rgbsBytes; ++i) colours[i] = static_cast<uint8_t>(i % 251 + 1);
    subBlocks[2].payload = colours;
    if (!withRgbs) subBlocks.erase(subBlocks.begin() + 2);
    return RawBlock(subBlocks);
}

TEST(CostumeRender, FillsThePaletteWithTheColoursThatArePresent) {
    struct Case {
        const char* behaviour;
        std::vector<uint8_t> block;
        size_t copied;  // entries taken from RGBS; the rest of the 256 are 0
    };
    const Case cases[] = {
        {"no colours", PaletteBlock(0, 0), 0},
        {"16 colours fill entries 0 to 15", PaletteBlock(16, 48), 16},
        {"256 colours fill the whole palette", PaletteBlock(256, 768), 256},
        {"more than 256 colours stop at the palette's end", PaletteBlock(300, 900), 256},
        {"a short RGBS gives only its whole colours", PaletteBlock(16, 10), 3},
        {"no RGBS gives no colours", PaletteBlock(16, 0, false), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        Rendered rendered = RenderFrame(c.block);
        ASSERT_TRUE(rendered.ok);
        EXPECT_EQ(rendered.errors, Errors{});
        EXPECT_EQ(rendered.image.paletteCount, 256u);
        std::vector<uint8_t> expected(768, 0);
        for (size_t i = 0; i < c.copied * 3; ++i) expected[i] = static_cast<uint8_t>(i % 251 + 1);
        EXPECT_EQ(rendered.image.palette, expected);
    }
}

TEST(CostumeRender, RefusesWhatItCannotDraw) {
    struct Case {
        const char* behaviour;
        std::vector<uint8_t> block;
        Errors errors;
    };
    const Case cases[] = {
        {"codec 2", RawBlock(OneFrame(2, 16, 1, 1, {0x11})), {"Unknown codec."}},
        {"codec 0", RawBlock(OneFrame(0, 16, 1, 1, {0x11})), {"Unknown codec."}},
        {"more pixels than any frame has",
         RawBlock(OneFrame(1, 16, 4097, 4096, {0x11})),
         {"Frame too large."}},
        {"the largest size is still too large",
         RawBlock(OneFrame(16, 16, 65535, 65535, {})),
         {"Frame too large."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        Rendered rendered = RenderFrame(c.block);
        EXPECT_FALSE(rendered.ok);
        EXPECT_EQ(rendered.errors, c.errors);
        EXPECT_TRUE(rendered.image.pixels.empty());
        EXPECT_TRUE(rendered.image.palette.empty());
    }
}

TEST(CostumeRender, TheLargestAllowedFrameIsDrawn) {
    Rendered rendered = RenderFrame(RawBlock(OneFrame(5, 0, 4096, 4096, {})));
    ASSERT_TRUE(rendered.ok);
    EXPECT_EQ(rendered.image.pixels.size(), 4096u * 4096u);
    EXPECT_EQ(rendered.errors, Errors{});
}

TEST(CostumeRender, NeedsASelectedFrameAndLeavesTheImageAlone) {
    const auto block = RawBlock(OneFrame(1, 16, 1, 1, {0x11}));
    Costume costume(ByteView{block.data(), block.size()});
    ASSERT_TRUE(costume.Parse());
    IndexedImage image;
    image.x = 9;
    g_headless.TakeErrors();
    EXPECT_FALSE(costume.Render(&image, 1, 2));
    EXPECT_EQ(g_headless.TakeErrors(), Errors{});
    EXPECT_EQ(image.x, 9);
    EXPECT_TRUE(image.pixels.empty());
}

TEST(CostumeRender, StoresThePositionAndDecodesAfreshEachTime) {
    const auto block = RawBlock(OneFrame(16, 4, 4, 2, {0x05, 0x10, 0x3A, 0x73, 0x00}));
    Costume costume(ByteView{block.data(), block.size()});
    ASSERT_TRUE(costume.Parse());
    ASSERT_TRUE(costume.SelectFrame(1));
    IndexedImage first, second;
    ASSERT_TRUE(costume.Render(&first, 5, -3));
    ASSERT_TRUE(costume.Render(&second, 0, 0));
    EXPECT_EQ(first.x, 5);
    EXPECT_EQ(first.y, -3);
    EXPECT_EQ(first.width, 4);
    EXPECT_EQ(first.height, 2);
    EXPECT_EQ(first.pixels, second.pixels);
    EXPECT_EQ(first.palette, second.palette);
    EXPECT_EQ(first.pixels, (std::vector<uint8_t>{16, 16, 7, 7, 7, 7, 7, 7}));
}

}  // namespace
