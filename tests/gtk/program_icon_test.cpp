#include "app/program_icon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

namespace {

// Every carried size is the same picture: sampled at the 16 x 16 grid, the larger ones agree
// with the smallest pixel for pixel, so that the icon reads the same in a task bar and a menu.
TEST(ProgramIconTest, EverySizeIsTheSamePictureWithTransparentCornersOnly) {
    ProgramIcon smallest;
    ASSERT_TRUE(smallest.Draw(16));
    for (uint16_t size : kThemeIconSizes) {
        SCOPED_TRACE(size);
        ProgramIcon icon;
        ASSERT_TRUE(icon.Draw(size));
        ASSERT_EQ(icon.pixels.size(), size_t{size} * size);
        ASSERT_EQ(icon.palette.size(), size_t{ProgramIcon::kColourCount} * 3);
        const int scale = size / 16;
        int transparent = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                uint8_t index = icon.pixels[size_t(y) * size + size_t(x)];
                EXPECT_EQ(index, smallest.pixels[size_t(y / scale) * 16 + size_t(x / scale)]);
                transparent += index == ProgramIcon::kTransparent;
            }
        }
        EXPECT_EQ(transparent, 4 * scale * scale);  // the four rounded corners
        EXPECT_EQ(icon.pixels[0], ProgramIcon::kTransparent);
    }
}

TEST(ProgramIconTest, RgbaFollowsThePaletteAndIsClearOnlyWhereTransparent) {
    ProgramIcon icon;
    ASSERT_TRUE(icon.Draw(32));
    std::vector<uint8_t> rgba = icon.Rgba();
    ASSERT_EQ(rgba.size(), icon.pixels.size() * 4);
    for (size_t i = 0; i < icon.pixels.size(); ++i) {
        const uint8_t* colour = &icon.palette[size_t{icon.pixels[i]} * 3];
        ASSERT_EQ(rgba[i * 4 + 0], colour[0]) << i;
        ASSERT_EQ(rgba[i * 4 + 1], colour[1]) << i;
        ASSERT_EQ(rgba[i * 4 + 2], colour[2]) << i;
        ASSERT_EQ(rgba[i * 4 + 3], icon.pixels[i] == ProgramIcon::kTransparent ? 0 : 255) << i;
    }
}

// The window's sizes are among those the theme installs, so that both show one picture.
TEST(ProgramIconTest, WindowSizesAreThemeSizes) {
    for (uint16_t size : kProgramIconSizes) {
        EXPECT_NE(std::find(std::begin(kThemeIconSizes), std::end(kThemeIconSizes), size),
                  std::end(kThemeIconSizes))
            << size;
    }
}

TEST(ProgramIconTest, SizesNotCarriedAreRefusedAndLeaveTheIconAsItWas) {
    ProgramIcon icon;
    ASSERT_TRUE(icon.Draw(16));
    const std::vector<uint8_t> before = icon.pixels;
    for (int size : {0, 8, 24, 96, 512}) {
        EXPECT_FALSE(icon.Draw(static_cast<uint16_t>(size))) << size;
        EXPECT_EQ(icon.size, 16);
        EXPECT_EQ(icon.pixels, before);
    }
}

}  // namespace
