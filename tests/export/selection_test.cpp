// The costumes and frames a command line selects, kept as sorted, merged ranges.
#include <gtest/gtest.h>

#include "export/selection.h"

namespace {

TEST(Selection, MergesNumbersAndRangesFromEveryOption) {
    struct Case {
        std::vector<std::string> texts;
        std::vector<std::pair<uint32_t, uint32_t>> ranges;
        uint64_t count;
        uint32_t single;
    };
    const Case cases[] = {
        {{"7"}, {{7, 7}}, 1, 7},
        {{"1,4-6,9"}, {{1, 1}, {4, 6}, {9, 9}}, 5, 0},
        {{"5-9", "1-3", "4"}, {{1, 9}}, 9, 0},  // touching ranges join
        {{"3", "3"}, {{3, 3}}, 1, 3},
        {{"1-4294967295"}, {{1, 4294967295u}}, 4294967295u, 0},
    };
    for (const Case& c : cases) {
        Selection selection;
        std::string error;
        for (const std::string& text : c.texts) {
            ASSERT_TRUE(selection.Add(text, 1, UINT32_MAX, &error)) << text << ": " << error;
        }
        std::vector<std::pair<uint32_t, uint32_t>> ranges;
        for (const Selection::Range& range : selection.ranges) ranges.push_back({range.first, range.last});
        EXPECT_EQ(ranges, c.ranges);
        EXPECT_EQ(selection.Count(), c.count);
        EXPECT_EQ(selection.Single(), c.single);
    }
}

TEST(Selection, SaysWhatIsWrongAndAddsNothingOfAListWithAFault) {
    const std::pair<std::string, std::string> cases[] = {
        {"x", "'x' is not a number N or a range A-B"},
        {"1,", "'' is not a number N or a range A-B"},
        {"-3", "'-3' is not a number N or a range A-B"},
        {"4-", "'4-' is not a number N or a range A-B"},
        {"3-2", "the range 3-2 ends before it begins"},
        {"0", "0 is not within 1 to 65535"},
        {"2,65536", "65536 is not within 1 to 65535"},
        {"99999999999", "'99999999999' is not a number N or a range A-B"},
    };
    for (const auto& [text, message] : cases) {
        Selection selection;
        std::string error;
        EXPECT_FALSE(selection.Add(text, 1, 65535, &error)) << text;
        EXPECT_EQ(error, message);
        EXPECT_TRUE(selection.Empty()) << text;
    }
}

}  // namespace
