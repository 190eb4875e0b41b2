// The GIF frame planner: which rectangle each frame keeps, how the frame before is disposed
// of so that pixels can turn clear, and how small the colour table can be.
#include "export/gif_frame_plan.h"

#include <gtest/gtest.h>

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
         {{0, 0, 3, 2, keep, false, 1}, {1, 1, 1, 1, keep, false, 0}}, 4},
        {"a frame like the one before keeps one pixel", 3, 2, -1, {"010010", "010010"},
         {{0, 0, 3, 2, keep, false, -1}, {0, 0, 1, 1, keep, false, 0}}, 2},
        {"a transparent border is left out of the first frame", 4, 3, 0,
         {"000001100000"}, {{1, 1, 2, 1, keep, false, 0}}, 2},
        {"a first frame all transparent is one clear pixel", 2, 2, 3, {"3333"},
         {{0, 0, 1, 1, keep, true, 0}}, 2},
        // Both disposals cost the same two pixels; putting back the clear canvas wins.
        {"pixels turning transparent", 4, 3, 0, {"011001100000", "010001000000"},
         {{1, 0, 2, 2, restore, false, 0}, {1, 0, 1, 2, keep, false, 0}}, 2},
        // Frame 1 drew only x 2; the pixels turning clear at x 0 and 1 stayed from frame 0,
        // so frame 1 must clear a wider rectangle than it drew.
        {"clearing reaches beyond the rectangle drawn", 4, 1, 0, {"1100", "1120", "0020"},
         {{0, 0, 2, 1, keep, false, 0}, {0, 0, 3, 1, clear, false, 0},
          {2, 0, 1, 1, keep, false, 0}},
         4},
        {"a clear pixel inside the rectangle needs the transparent index", 3, 1, 5,
         {"123", "153"}, {{0, 0, 3, 1, restore, false, 0}, {0, 0, 3, 1, keep, true, 0}}, 4},
        {"a high transparent index does not widen the table", 2, 1, 9, {"59"},
         {{0, 0, 1, 1, keep, false, 0}}, 8},
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

TEST(GifFramePlan, TheColourTableIsTheNextPowerOfTwoAboveTheHighestIndex) {
    const std::pair<uint8_t, uint16_t> cases[] = {{0, 2}, {1, 2}, {2, 4}, {7, 8},
                                                  {8, 16}, {128, 256}, {255, 256}};
    for (const auto& [highest, count] : cases) {
        SCOPED_TRACE(int{highest});
        const GifTestFrames frames{2, 1, std::nullopt, {{0, highest}, {highest, 0}}};
        EXPECT_EQ(PlanGifFrames(frames.Source()).colourCount, count);
    }
}

}  // namespace
