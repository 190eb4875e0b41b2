// The costume viewer's state and its frame presentation, driven through its own operations
// on the process-wide screen.
#include "viewer/costume_viewer.h"

#include <algorithm>

#include "viewer/viewer_fixture.h"

namespace {

const Picture kPleaseOpen = StatusPicture("Please open a file.");

class ViewerTest : public SessionTest {
protected:
    // Opens `designs` as a game on one disk; true when OpenGame succeeded.
    bool Open(const std::vector<CostumeDesign>& designs) {
        game.Write(OneDiskLayout(designs));
        return OpenGame(game.dir.WithSeparator(), game.baseName);
    }
    TestGame game;
};

struct ZoomCase {
    const char* name;
    uint16_t codec;
    uint16_t width, height;
    bool zoom;
};

const ZoomCase kZoomCases[] = {
    {"a small frame at its own size", 5, 200, 150, false},
    {"a small frame doubled", 5, 200, 150, true},
    {"a frame doubled past the right and bottom edges", 1, 400, 300, true},
    {"a frame larger than the screen", 16, 700, 500, false},
    {"a frame too wide to double in 16 bits", 5, 40000, 3, true},
    {"a frame too tall to double in 16 bits", 1, 3, 33000, true},
    // Sizes a forged size record gives: there is nothing to show, and nothing may be touched.
    {"rows without columns", 5, 0, 40, false},
    {"rows without columns, doubled", 1, 0, 40, true},
    {"columns without rows, doubled", 16, 40, 0, true},
};

TEST_F(ViewerTest, ShowsTheFrameAtTheTopLeftAndDoublesItWhenZoomed) {
    for (const ZoomCase& test : kZoomCases) {
        SCOPED_TRACE(test.name);
        CostumeDesign design;
        design.codec = test.codec;
        design.colours = PatternColours(32, 5);
        design.frames = {PatternFrame(test.width, test.height, 32, 1)};
        TestGame one;
        one.Write(OneDiskLayout({design}));
        ASSERT_TRUE(OpenGame(one.dir.WithSeparator(), one.baseName));
        g_viewer->zoom = test.zoom;
        g_viewer->Draw(g_screen);
        EXPECT_TRUE(SamePicture(ScreenPicture(),
                                FramePicture(design, 0, test.zoom, "Costume 1, Frame 1 / 1")));
        EXPECT_EQ(Errors(), Messages{});
    }
}

TEST_F(ViewerTest, ShowsIndex255WhiteAndIndicesPastTheColoursBlack) {
    CostumeDesign full = PatternCostume(5, 1, 2);
    full.colours = std::vector<uint8_t>(256 * 3, 0x80);
    std::fill(full.colours.end() - 3, full.colours.end(), uint8_t{0});  // 255 stored black
    CostumeDesign few = PatternCostume(5, 1, 3);
    few.colours = PatternColours(16, 3);
    for (CostumeDesign* design : {&full, &few}) {
        CostumeFrame& frame = design->frames[0];
        for (size_t i = 0; i < frame.pixels.size(); ++i) {
            frame.pixels[i] = static_cast<uint8_t>(i % 3 == 0 ? 255 : i % 40);
        }
    }
    ASSERT_TRUE(Open({full, few}));
    EXPECT_TRUE(
        SamePicture(ScreenPicture(), FramePicture(full, 0, false, "Costume 1, Frame 1 / 1")));
    EXPECT_EQ(g_screen.ColourAt(0, 3), 0xFFFFFFu);  // pixel 60: index 255
    g_viewer->NextCostume();
    g_viewer->Draw(g_screen);
    EXPECT_TRUE(
        SamePicture(ScreenPicture(), FramePicture(few, 0, false, "Costume 2, Frame 1 / 1")));
    EXPECT_EQ(Errors(), Messages{});
}

TEST_F(ViewerTest, AnUnknownCodecIsReportedAtEveryDraw) {
    std::vector<uint8_t> block = BuildCostumeBlock(PatternCostume(5, 1, 1));
    const std::string tag = "VEHD";
    const auto vehd = std::search(block.begin(), block.end(), tag.begin(), tag.end());
    ASSERT_NE(vehd, block.end());
    *(vehd + 8 + 8) = 2;  // the codec, little-endian, after the frame count
    *(vehd + 8 + 9) = 0;
    GameLayout layout = OneDiskLayout({});
    layout.costumes.push_back(GameCostume{1, block});
    game.Write(layout);
    ASSERT_TRUE(OpenGame(game.dir.WithSeparator(), game.baseName));
    EXPECT_EQ(Errors(), Messages{"Unknown codec."});
    EXPECT_TRUE(SamePicture(ScreenPicture(), StatusPicture("Failed to draw frame.")));
    g_viewer->Draw(g_screen);
    EXPECT_EQ(Errors(), Messages{"Unknown codec."});
}

TEST_F(ViewerTest, AGameWithoutCostumesToBrowseStillOpens) {
    for (size_t count : {0u, 1u}) {
        SCOPED_TRACE(count);
        GameLayout layout = OneDiskLayout({});
        layout.costumes.resize(count);
        TestGame empty;
        empty.Write(layout);
        EXPECT_TRUE(OpenGame(empty.dir.WithSeparator(), empty.baseName));
        EXPECT_EQ(Errors(), Messages{"Costume out of range."});
        for (uint32_t key : {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT}) HeadlessPressKey(key);
        EXPECT_EQ(Errors(), Messages{});
        EXPECT_TRUE(SamePicture(ScreenPicture(), kPleaseOpen));
    }
}

TEST_F(ViewerTest, SelectionsOutOfRangeChangeNothing) {
    const std::vector<CostumeDesign> designs = {PatternCostume(5, 3, 1), PatternCostume(5, 1, 2)};
    ASSERT_TRUE(Open(designs));
    g_viewer->NextFrame();
    g_viewer->Draw(g_screen);
    const Picture shown = ScreenPicture();
    g_screen.TakeInvalid();

    g_viewer->SelectCostume(3);
    EXPECT_EQ(Errors(), Messages{"Costume out of range."});
    g_viewer->SelectFrame(4);
    EXPECT_EQ(Errors(), Messages{"Frame out of range."});
    EXPECT_TRUE(g_screen.TakeInvalid().Empty());
    EXPECT_EQ(g_viewer->costumeNumber, 1u);
    EXPECT_TRUE(g_viewer->costumeLoaded);
    EXPECT_TRUE(g_viewer->frameLoaded);
    g_viewer->Draw(g_screen);
    EXPECT_TRUE(SamePicture(ScreenPicture(), shown));

    // The last frame is in range; frame 0 passes the viewer and is refused by the costume.
    g_viewer->SelectFrame(3);
    EXPECT_EQ(g_viewer->loaded.costume->currentFrame, 3);
    g_viewer->SelectFrame(0);
    EXPECT_EQ(Errors(), Messages{"Attempted to load frame 0."});
    EXPECT_FALSE(g_viewer->frameLoaded);
    g_viewer->Draw(g_screen);
    EXPECT_TRUE(SamePicture(ScreenPicture(), shown));
    g_viewer->NextFrame();  // on the last frame already: nothing
    EXPECT_FALSE(g_viewer->frameLoaded);
    g_viewer->PreviousFrame();
    EXPECT_TRUE(g_viewer->frameLoaded);
    g_viewer->Draw(g_screen);
    EXPECT_TRUE(
        SamePicture(ScreenPicture(), FramePicture(designs[0], 1, false, "Costume 1, Frame 2 / 3")));
}

TEST_F(ViewerTest, ResetReleasesTheGameButKeepsZoomAndNumber) {
    ASSERT_TRUE(Open({PatternCostume(5, 1, 1)}));
    g_viewer->zoom = true;
    g_viewer->Reset();
    g_viewer->Reset();
    EXPECT_EQ(g_viewer->archive, nullptr);
    EXPECT_EQ(g_viewer->loaded.costume, nullptr);
    EXPECT_TRUE(g_viewer->loaded.block.empty());
    EXPECT_TRUE(g_viewer->directory.empty());
    EXPECT_TRUE(g_viewer->baseName.empty());
    EXPECT_FALSE(g_viewer->costumeLoaded);
    EXPECT_FALSE(g_viewer->frameLoaded);
    EXPECT_TRUE(g_viewer->zoom);
    EXPECT_EQ(g_viewer->costumeNumber, 1u);
    // An empty viewer draws nothing and its navigation does nothing.
    g_screen.TakeInvalid();
    g_viewer->Draw(g_screen);
    g_viewer->NextCostume();
    g_viewer->PreviousCostume();
    g_viewer->NextFrame();
    EXPECT_TRUE(g_screen.TakeInvalid().Empty());
    EXPECT_EQ(Errors(), Messages{});
}

TEST_F(ViewerTest, AFailedOpenLeavesTheViewerCurrentWithWhatItCopied) {
    TempDir empty;
    const std::string directory = empty.WithSeparator() + std::string(300, 'x') + "/";
    EXPECT_FALSE(OpenGame(directory, "NONE"));
    EXPECT_EQ(Errors(), Messages{"No SCUMM disks found."});
    ASSERT_NE(g_viewer, nullptr);
    EXPECT_EQ(g_viewer->directory, directory);
    EXPECT_EQ(g_viewer->baseName, "NONE");
    EXPECT_TRUE(SamePicture(ScreenPicture(), kPleaseOpen));
}

}  // namespace
