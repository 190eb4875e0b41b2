// Games for the viewer and whole-session tests, made with the game writer and the costume
// encoders in a temporary directory, and the pictures the program must show for them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/open_command.h"
#include "app/process_objects.h"
#include "app/shell.h"
#include "authoring/block_writer.h"
#include "authoring/costume_builder.h"
#include "authoring/game_writer.h"
#include "display/screen.h"
#include "frontends/headless/headless_frontend.h"
#include "support/temp_dir.h"

using Messages = std::vector<std::string>;
using Picture = std::vector<uint32_t>;  // 640 x 480 colours, 0x00RRGGBB

// A frame whose indices run through 0 to colourCount - 1 in a pattern that `seed` shifts,
// so that frames and costumes differ from one another everywhere.
inline CostumeFrame PatternFrame(uint16_t width, uint16_t height, uint32_t colourCount,
                                 uint32_t seed) {
    CostumeFrame frame{width, height, std::vector<uint8_t>(size_t{width} * height)};
    for (size_t r = 0; r < height; ++r) {
        for (size_t c = 0; c < width; ++c) {
            frame.pixels[r * width + c] =
                static_cast<uint8_t>((c / 3 + r / 2 + seed) % colourCount);
        }
    }
    return frame;
}

// Colours that differ per seed; none of them is black, so a pixel shows where it landed.
inline std::vector<uint8_t> PatternColours(uint32_t count, uint32_t seed) {
    std::vector<uint8_t> colours;
    for (uint32_t i = 0; i < count; ++i) {
        colours.push_back(static_cast<uint8_t>(40 + (i * 7 + seed * 50) % 200));
        colours.push_back(static_cast<uint8_t>(30 + (i * 13 + seed * 20) % 220));
        colours.push_back(static_cast<uint8_t>(20 + (i * 29 + seed * 90) % 230));
    }
    return colours;
}

// A costume of `frameCount` frames of growing size, 32 colours, in the given codec.
inline CostumeDesign PatternCostume(uint16_t codec, int frameCount, uint32_t seed) {
    CostumeDesign design;
    design.codec = codec;
    design.colours = PatternColours(32, seed);
    for (int f = 0; f < frameCount; ++f) {
        design.frames.push_back(PatternFrame(static_cast<uint16_t>(20 + 7 * f),
                                             static_cast<uint16_t>(10 + 5 * f), 32,
                                             seed + static_cast<uint32_t>(f)));
    }
    return design;
}

// A game folder on disk; the index file's path is what the open dialog answers.
struct TestGame {
    TempDir dir;
    std::string baseName = "GAME";

    void Write(const GameLayout& layout) {
        std::string error;
        ASSERT_TRUE(WriteGame(dir.path, baseName, layout, &error)) << error;
    }
    std::string IndexPath() const { return (dir.path / (baseName + ".LA0")).string(); }
};

// Every costume of `designs` in room 1 on disk 1; costume 0 is an empty entry the viewer
// never shows. `designs[0]` becomes costume 1.
inline GameLayout OneDiskLayout(const std::vector<CostumeDesign>& designs) {
    GameLayout layout;
    layout.roomDisks = {0, 1};
    layout.costumes.push_back(GameCostume{1, {}});
    for (const CostumeDesign& design : designs) {
        layout.costumes.push_back(GameCostume{1, BuildCostumeBlock(design)});
    }
    return layout;
}

// What the window shows of a screen cleared to black with `status` on its top line.
inline Picture StatusPicture(const std::string& status, Picture picture = Picture(640 * 480, 0)) {
    Screen text;
    EXPECT_TRUE(text.Create());
    text.DrawText(status.c_str());
    for (int32_t y = 0; y < Screen::kHeight; ++y) {
        for (int32_t x = 0; x < Screen::kWidth; ++x) {
            const uint8_t layer = text.layer[static_cast<size_t>(y * Screen::kWidth + x)];
            if (layer != Screen::kIndexed) {
                picture[static_cast<size_t>(y * Screen::kWidth + x)] = text.ColourAt(x, y);
            }
        }
    }
    return picture;
}

// Frame `frame` (0-based) of `design` at the top-left corner, each pixel a 2 x 2 block when
// zoomed, in the costume's colours (index 255 white, others past the colours black), under
// `status`.
inline Picture FramePicture(const CostumeDesign& design, size_t frame, bool zoom,
                            const std::string& status) {
    const CostumeFrame& source = design.frames[frame];
    const size_t colourCount = design.colours.size() / 3;
    Picture picture(640 * 480, 0);
    const int scale = zoom ? 2 : 1;
    for (int32_t y = 0; y < Screen::kHeight; ++y) {
        for (int32_t x = 0; x < Screen::kWidth; ++x) {
            const size_t c = static_cast<size_t>(x / scale);
            const size_t r = static_cast<size_t>(y / scale);
            if (c >= source.width || r >= source.height) continue;
            const size_t index = source.pixels[r * source.width + c];
            uint32_t colour = 0;
            if (index < colourCount) {
                colour = uint32_t{design.colours[3 * index]} << 16 |
                         uint32_t{design.colours[3 * index + 1]} << 8 |
                         design.colours[3 * index + 2];
            }
            if (index == 255) colour = 0xFFFFFF;
            picture[static_cast<size_t>(y * Screen::kWidth + x)] = colour;
        }
    }
    return StatusPicture(status, picture);
}

// Pictures compared whole; a failure names how many pixels differ and the first of them.
inline ::testing::AssertionResult SamePicture(const Picture& actual, const Picture& expected) {
    if (actual.size() != expected.size()) return ::testing::AssertionFailure() << "sizes differ";
    size_t differing = 0;
    size_t first = 0;
    for (size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] == expected[i]) continue;
        if (differing++ == 0) first = i;
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << differing << " pixels differ, the first at (" << first % 640 << ", " << first / 640
           << "): " << std::hex << actual[first] << " instead of " << expected[first];
}

// What g_screen shows now, whether or not a front-end has painted it.
inline Picture ScreenPicture() {
    Picture picture(640 * 480);
    g_screen.Compose(ScreenRect{0, 0, 640, 480}, picture.data(), 640);
    return picture;
}

// Each test runs a fresh session from start to stop.
class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_headless.Clear();
        ASSERT_TRUE(HeadlessStart());
    }
    void TearDown() override { HeadlessStop(); }
    Messages Errors() { return g_headless.TakeErrors(); }
};
