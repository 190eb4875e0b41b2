// The GIF frame planner: which rectangle each frame keeps, how the frame before is disposed
// of so that pixels can turn clear, and how small the colour table can be.
#include "export/gif_frame_plan.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "export/gif_test_frames.h"

namespace {

struct Expected {
    uint16_t left, top, width, height;
    GifDisposal disposal;
    bool needsTransparent;
    int transparent;  // -1: none
};

struct PlanCase {
    const char* name;
    uint16_t width, height;
    int transparent;  // -1: none
    std::vector<std::string> frames;
    std::vector<Expected> expected;
    uint16_t colourCount;
};

TEST(GifFramePlan, EachFrameKeepsWhatChangedAndTheFrameBeforeMakesWayForIt) {
    constexpr auto keep = GifDisposal::Keep;
    constexpr auto clear = GifDisposal::Clear;
    constexpr auto restore = GifDisposal::Restore;
    const PlanCase cases[] = {
        {"a pixel changes", 3, 2, -1, {"000000", "000020"},
         {{0, 0, 3, 2, keep, false, 1}, {1, 1, 1, 1, keep, false, 0}}, 2},
        {"a frame like the one before keeps one pixel", 3, 2, -1, {"010010", "010010"},
         {{0, 0, 3, 2, keep, false, -1}, {0, 0, 1, 1, keep, false, 0}}, 2},
        {"a transparent border is left out of the first frame", 4, 3, 0,
         {"000001100000"}, {{1, 1, 2, 1, keep, false, 1}}, 2},
        {"a first frame all transparent is one clear pixel", 2, 2, 3, {"3333"},
         {{0, 0, 1, 1, keep, true, 0}}, 2},
        // Both disposals cost the same two pixels; putting back the clear canvas wins.
        {"pixels turning transparent", 4, 3, 0, {"011001100000", "010001000000"},
         {{1, 0, 2, 2, restore, false, 1}, {1, 0, 1, 2, keep, false, 1}}, 2},
        // Frame 1 drew only x 2; the pixels turning clear at x 0 and 1 stayed from frame 0,
        // so frame 1 must clear a wider rectangle than it drew. Two frames change to 2 and
        // one to 1, so 2 is written 0 and 1 is written 1; frame 1's unchanged pixels show 1,
        // which makes it the transparent index.
        {"clearing reaches beyond the rectangle drawn", 4, 1, 0, {"1100", "1120", "0020"},
         {{0, 0, 2, 1, keep, false, 0}, {0, 0, 3, 1, clear, false, 1},
          {2, 0, 1, 1, keep, false, 1}},
         2},
        // 1 and 3 change in both frames, 2 in one: they are written 0, 1 and 2.
        {"a clear pixel inside the rectangle needs the transparent index", 3, 1, 5,
         {"123", "153"}, {{0, 0, 3, 1, restore, false, 3}, {0, 0, 3, 1, keep, true, 2}}, 4},
        {"the transparent index takes no place in the table", 2, 1, 9, {"59"},
         {{0, 0, 1, 1, keep, false, 1}}, 2},
        {"the free index is the lowest no change uses", 4, 1, -1, {"0123", "1023"},
         {{0, 0, 4, 1, keep, false, -1}, {0, 0, 2, 1, keep, false, 2}}, 4},
    };
    for (const PlanCase& test : cases) {
        SCOPED_TRACE(test.name);
        GifTestFrames frames{test.width, test.height, std::nullopt, {}};
        if (test.transparent >= 0) frames.transparent = static_cast<uint8_t>(test.transparent);
        for (const std::string& digits : test.frames) frames.frames.push_back(Digits(digits));
        const GifFramePlan plan = PlanGifFrames(frames.Source());
        EXPECT_EQ(plan.colourCount, test.colourCount);
        ASSERT_EQ(plan.frames.size(), test.expected.size());
        for (size_t i = 0; i < test.expected.size(); ++i) {
            SCOPED_TRACE("frame " + std::to_string(i));
            const GifPlannedFrame& got = plan.frames[i];
            const Expected& want = test.expected[i];
            EXPECT_EQ((std::vector<int>{got.left, got.top, got.width, got.height}),
                      (std::vector<int>{want.left, want.top, want.width, want.height}));
            EXPECT_EQ(got.disposal, want.disposal);
            EXPECT_EQ(got.needsTransparent, want.needsTransparent);
            EXPECT_EQ(got.transparent ? int{*got.transparent} : -1, want.transparent);
        }
    }
}

TEST(GifFramePlan, TheColourTableHoldsTheColoursShownInAPowerOfTwo) {
    const std::pair<uint32_t, uint16_t> cases[] = {{1, 2},  {2, 2},   {3, 4},  {8, 8},
                                                   {9, 16}, {129, 256}, {256, 256}};
    for (const auto& [shown, count] : cases) {
        SCOPED_TRACE(shown);
        // Indices spread over the whole range, in an order of their own.
        std::vector<uint8_t> row;
        for (uint32_t i = 0; i < shown; ++i) row.push_back(static_cast<uint8_t>(255 - i * 37 % 256));
        const GifTestFrames frames{static_cast<uint16_t>(shown), 1, std::nullopt, {row}};
        const GifFramePlan plan = PlanGifFrames(frames.Source());
        EXPECT_EQ(plan.colourCount, count);
        EXPECT_EQ(plan.colours.size(), count * 3u);
        // In the order of the rendered indices: the lowest index shown is written 0.
        EXPECT_EQ(plan.written[*std::min_element(row.begin(), row.end())], 0);
    }
}

TEST(GifFramePlan, IndicesOfOneColourAreOnePixel) {
    std::vector<uint8_t> palette(256 * 3);
    for (size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<uint8_t>(i);
    palette[7 * 3] = 3 * 3, palette[7 * 3 + 1] = 3 * 3 + 1, palette[7 * 3 + 2] = 3 * 3 + 2;
    GifTestFrames frames{3, 1, std::nullopt, {Digits("137"), Digits("173")}};
    GifFrameSource source = frames.Source();
    source.palette = palette.data();
    const GifFramePlan plan = PlanGifFrames(source);
    EXPECT_EQ(plan.written[1], 0);
    EXPECT_EQ(plan.written[3], 1);
    EXPECT_EQ(plan.written[7], 1);
    EXPECT_EQ(plan.colours, (std::vector<uint8_t>{3, 4, 5, 9, 10, 11}));
    ASSERT_EQ(plan.frames.size(), 2u);
    // Index 3 turning into 7 and 7 into 3 changes nothing: the second frame keeps one pixel.
    EXPECT_EQ((std::vector<int>{plan.frames[1].width, plan.frames[1].height}),
              (std::vector<int>{1, 1}));
}

}  // namespace

// The writer gives each image the fewest bits its indices need, so the colours most frames
// change to come first, and a transparent index is not taken wider than the changes.
TEST(GifFramePlan, TheColoursMostFramesChangeToAreWrittenFirst) {
    // 9, 8 and 7 take turns at both ends (9 and 8 twice); 1 stays between them throughout.
    GifTestFrames frames{3, 1, std::nullopt, {}};
    frames.frames = {{9, 1, 9}, {8, 1, 8}, {7, 1, 7}, {9, 1, 9}, {8, 1, 8}};
    const GifFramePlan plan = PlanGifFrames(frames.Source());
    EXPECT_EQ((std::vector<int>{plan.written[8], plan.written[9], plan.written[1],
                                plan.written[7]}),
              (std::vector<int>{0, 1, 2, 3}));
    struct Want {
        int transparent, highestChanged, highestShown;
        bool substitutable;
    };
    // Frames 1, 3 and 4 change to index 0 or 1: 1's index 2 would widen their code, so
    // another free index is taken. Frame 2 changes to 3, as wide as 2, so the unchanged
    // pixel's own index is taken, and writing it transparent changes nothing.
    const Want wants[] = {{1, 0, 2, true}, {2, 3, 3, false}, {0, 1, 2, true}, {1, 0, 2, true}};
    for (size_t i = 1; i < plan.frames.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const GifPlannedFrame& frame = plan.frames[i];
        const Want& want = wants[i - 1];
        EXPECT_EQ(frame.width, 3);
        EXPECT_EQ(frame.transparent, want.transparent);
        EXPECT_EQ(frame.highestChanged, want.highestChanged);
        EXPECT_EQ(frame.highestShown, want.highestShown);
        EXPECT_EQ(frame.substitutable, want.substitutable);
    }
}
