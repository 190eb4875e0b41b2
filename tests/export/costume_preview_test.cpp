// What a program shows of a costume beside its exports: each frame in the exports' palette,
// the transparent index alone see-through, and a frame the costume lacks refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "authoring/costume_builder.h"
#include "export/costume_preview.h"

namespace {

const std::vector<uint8_t> kColours = {10, 20, 30, 40, 50, 60, 70, 80, 90};

std::vector<uint8_t> TwoFrameBlock() {
    CostumeDesign design;
    design.codec = 5;
    design.colours = kColours;
    design.frames = {{3, 2, {0, 1, 2, 2, 1, 0}}, {1, 1, {1}}};
    return BuildCostumeBlock(design);
}

TEST(CostumePreview, FramesInTheExportsPaletteWithOnlyTheTransparentIndexSeeThrough) {
    const std::vector<uint8_t> block = TwoFrameBlock();
    ASSERT_FALSE(block.empty());
    Costume costume(ByteView{block.data(), block.size()});
    ASSERT_TRUE(costume.Parse());
    const struct {
        std::optional<uint8_t> transparent;
        std::vector<uint8_t> alphas;
    } kCases[] = {
        {std::nullopt, {255, 255, 255, 255, 255, 255}},
        {0, {0, 255, 255, 255, 255, 0}},
        {2, {255, 255, 0, 0, 255, 255}},
        {7, {255, 255, 255, 255, 255, 255}},  // an index no pixel has
    };
    for (const auto& test : kCases) {
        RgbaFrame frame;
        ASSERT_TRUE(PreviewFrame(costume, 1, test.transparent, &frame));
        ASSERT_EQ(frame.width, 3);
        ASSERT_EQ(frame.height, 2);
        ASSERT_EQ(frame.rgba.size(), 3u * 2 * 4);
        const uint8_t indices[] = {0, 1, 2, 2, 1, 0};
        for (size_t at = 0; at < 6; ++at) {
            for (size_t channel = 0; channel < 3; ++channel) {
                EXPECT_EQ(frame.rgba[at * 4 + channel], kColours[indices[at] * 3 + channel])
                    << "pixel " << at;
            }
            EXPECT_EQ(frame.rgba[at * 4 + 3], test.alphas[at]) << "pixel " << at;
        }
    }
    RgbaFrame second;
    ASSERT_TRUE(PreviewFrame(costume, 2, std::nullopt, &second));
    EXPECT_EQ(std::vector<uint8_t>(second.rgba.begin(), second.rgba.begin() + 3),
              std::vector<uint8_t>(kColours.begin() + 3, kColours.begin() + 6));
}

TEST(CostumePreview, AFrameTheCostumeLacksIsRefused) {
    const std::vector<uint8_t> block = TwoFrameBlock();
    Costume costume(ByteView{block.data(), block.size()});
    ASSERT_TRUE(costume.Parse());
    RgbaFrame frame;
    EXPECT_FALSE(PreviewFrame(costume, 3, std::nullopt, &frame));
    EXPECT_FALSE(PreviewFrame(costume, 0, std::nullopt, &frame));
}

TEST(CostumePreview, ThePaletteIsTheCostumesColoursThenBlack) {
    const std::vector<uint8_t> block = TwoFrameBlock();
    Costume costume(ByteView{block.data(), block.size()});
    ASSERT_TRUE(costume.Parse());
    const auto palette = PreviewPalette(costume);
    EXPECT_EQ(std::vector<uint8_t>(palette.begin(), palette.begin() + 9), kColours);
    for (size_t at = 9; at < palette.size(); ++at) EXPECT_EQ(palette[at], 0) << at;
}

}  // namespace
