// The table of hidden files that the interruption handlers remove: every slot usable, none
// given twice, a path too long for a slot refused rather than cut, and once the end is
// marked no file is begun.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "export/live_temporaries.h"

namespace {

TEST(LiveTemporaries, EverySlotHoldsOnePathUntilItIsForgotten) {
    std::vector<int> slots;
    for (size_t i = 0; i < kLiveTemporarySlots; ++i) {
        const int slot = ListLiveTemporary("out/.frame-" + std::to_string(i) + ".png.abcdef");
        ASSERT_GE(slot, 0) << i;
        slots.push_back(slot);
    }
    EXPECT_EQ(std::set<int>(slots.begin(), slots.end()).size(), kLiveTemporarySlots);
    EXPECT_EQ(ListLiveTemporary("out/.one-too-many"), -1);
    for (size_t i = 0; i < slots.size(); ++i) {
        const char* path = LiveTemporaryAt(static_cast<size_t>(slots[i]));
        ASSERT_NE(path, nullptr);
        EXPECT_EQ(std::string(path), "out/.frame-" + std::to_string(i) + ".png.abcdef");
    }
    ForgetLiveTemporary(slots[5]);
    EXPECT_EQ(LiveTemporaryAt(static_cast<size_t>(slots[5])), nullptr);
    EXPECT_EQ(ListLiveTemporary("out/.again"), slots[5]);
    EXPECT_EQ(ListLiveTemporary("out/.again"), -1);  // full again
    for (const int slot : slots) ForgetLiveTemporary(slot);
    for (size_t slot = 0; slot < kLiveTemporarySlots; ++slot) {
        EXPECT_EQ(LiveTemporaryAt(slot), nullptr);
    }
    EXPECT_EQ(LiveTemporaryAt(kLiveTemporarySlots), nullptr);
    ForgetLiveTemporary(-1);  // a file that found no slot
    EXPECT_EQ(ListLiveTemporary(std::string(kLiveTemporaryPathBytes, 'x')), -1);
    const int longest = ListLiveTemporary(std::string(kLiveTemporaryPathBytes - 1, 'x'));
    EXPECT_GE(longest, 0);
    ForgetLiveTemporary(longest);
}

TEST(LiveTemporaries, NoFileIsBegunOnceTheEndIsMarked) {
    // In a child of its own: the end, once marked, stays.
    EXPECT_EXIT(
        {
            const bool before = BeginMakingTemporary();
            const size_t making = TemporariesBeingMade();
            MarkLiveTemporariesEnding();
            EndMakingTemporary();
            const bool after = BeginMakingTemporary();
            std::exit(before && making == 1 && !after && TemporariesBeingMade() == 0 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
