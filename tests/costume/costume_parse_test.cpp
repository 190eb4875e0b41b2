// Splitting a VERM block into its sub-blocks and selecting frames, with every message.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "costume/costume_test_support.h"
#include "frontends/headless/headless_frontend.h"

namespace {

using Errors = std::vector<std::string>;

const std::vector<uint8_t> kHeader = Concat({std::vector<uint8_t>(6), U16(1), U16(1)});

std::vector<SubBlock> AllEight() {
    return {{"VEHD", kHeader},
            {"VEPL", std::vector<uint8_t>(16)},
            {"RGBS", std::vector<uint8_t>(48)},
            {"VESQ", {1, 2}},
            {"VECH", {3}},
            {"VEOF", Concat({U32(0), U16(0)})},
            {"VECI", Concat({U16(1), U16(1)})},
            {"VECD", {0x11}}};
}

std::vector<uint8_t> WithSize(std::vector<uint8_t> block, size_t at, uint32_t size) {
    for (size_t i = 0; i < 4; ++i) block[at + i] = static_cast<uint8_t>(size >> (24 - 8 * i));
    return block;
}

struct ParseCase {
    const char* behaviour;
    std::vector<uint8_t> block;
    Errors errors;
    uint32_t colourCount;
};

std::vector<ParseCase> ParseCases() {
    const auto all = RawBlock(AllEight());
    auto reversed = AllEight();
    std::reverse(reversed.begin(), reversed.end());
    auto twoPalettes = AllEight();
    twoPalettes.push_back({"VEPL", std::vector<uint8_t>(5)});
    auto emptyPalette = AllEight();
    emptyPalette[1].payload.clear();
    auto unknownLast = AllEight();
    unknownLast.push_back({"AAAA", {}});
    auto lowerCase = AllEight();
    lowerCase[4].tag = "vech";
    auto noHeader = AllEight();
    noHeader.erase(noHeader.begin());
    auto shortHeader = AllEight();
    shortHeader[0].payload.resize(9);
    auto trailing = all;
    trailing.push_back(0xAB);
    auto partialHeader = all;
    partialHeader.insert(partialHeader.end(), {'V', 'E', 'C', 'D'});
    const size_t lastSize = all.size() - 5;  // VECD's size field, before its 1 payload byte
    const std::string invalidBlock = "Invalid block found in VERM.";
    const std::string invalidHeader = "Invalid VERM block header.";
    return {
        {"all eight sub-blocks, ending at the block's end", all, {}, 16},
        {"sub-blocks in any order", RawBlock(reversed), {}, 16},
        {"a later VEPL replaces the colour count", RawBlock(twoPalettes), {}, 5},
        {"an empty VEPL gives no colours", RawBlock(emptyPalette), {}, 0},
        {"bytes after the declared size are not walked",
         WithSize(trailing, 4, uint32_t(all.size())),
         {},
         16},
        {"a header of 0 frames needs no frame table",
         RawBlock({{"VEHD", std::vector<uint8_t>(10)}}),
         {},
         0},
        {"another tag than VERM", WithSize(RawBlock({}), 0, 0x7665726D), {invalidHeader}, 0},
        {"fewer than 8 bytes", {'V', 'E', 'R', 'M', 0}, {invalidHeader}, 0},
        {"no bytes", {}, {invalidHeader}, 0},
        {"no VEHD", RawBlock(noHeader), {invalidHeader}, 16},
        {"a VEHD shorter than 10 bytes", RawBlock(shortHeader), {invalidHeader}, 16},
        {"an unknown tag after all the known ones",
         RawBlock(unknownLast),
         {"Unknown block found in VERM."},
         16},
        {"tags are case-sensitive", RawBlock(lowerCase), {"Unknown block found in VERM."}, 16},
        {"a sub-block size below 8", WithSize(all, lastSize, 7), {invalidBlock}, 16},
        {"a sub-block past the block's end", WithSize(all, lastSize, 10), {invalidBlock}, 16},
        {"a sub-block size that would wrap",
         WithSize(all, lastSize, 0xFFFFFFFF),
         {invalidBlock},
         16},
        {"half a sub-block header at the end",
         WithSize(partialHeader, 4, uint32_t(partialHeader.size())),
         {invalidBlock},
         16},
        {"a declared size beyond the buffer",
         WithSize(all, 4, uint32_t(all.size() + 8)),
         {invalidBlock},
         16},
    };
}

TEST(CostumeParse, ReportsEachFailureOnce) {
    for (const ParseCase& c : ParseCases()) {
        SCOPED_TRACE(c.behaviour);
        const std::vector<uint8_t> exact(c.block);
        Costume costume(ByteView{exact.data(), exact.size()});
        g_headless.TakeErrors();
        EXPECT_EQ(costume.Parse(), c.errors.empty());
        EXPECT_EQ(g_headless.TakeErrors(), c.errors);
        EXPECT_EQ(costume.colourCount, c.colourCount);
        EXPECT_EQ(costume.currentFrame, 0);
    }
}

// Three frames whose size records and data are told apart by their numbers.
std::vector<uint8_t> ThreeFrames() {
    return RawBlock({{"VEHD", Concat({std::vector<uint8_t>(6), U16(3), U16(5)})},
                     {"VEOF", Concat({U32(0), U16(8), U32(1), U16(4), U32(2), U16(0)})},
                     {"VECI", Concat({U16(30), U16(31), U16(20), U16(21), U16(10), U16(11)})},
                     {"VECD", {0xD1, 0xD2, 0xD3}}});
}

struct SelectCase {
    const char* behaviour;
    uint16_t frame;
    Errors errors;
    uint16_t selected;  // after the attempt, having selected frame 2 first
    uint16_t width;
};

TEST(CostumeSelectFrame, ReadsTheEntryOrKeepsTheSelection) {
    const SelectCase cases[] = {
        {"frame 3 reads the entry at offset 12", 3, {}, 3, 30},
        {"frame 1 reads the first entry", 1, {}, 1, 10},
        {"frame 0", 0, {"Attempted to load frame 0."}, 2, 20},
        {"one past the count", 4, {"Attempted to load non-existent frame."}, 2, 20},
        {"far past the count", 9, {"Attempted to load non-existent frame."}, 2, 20},
    };
    const auto block = ThreeFrames();
    for (const SelectCase& c : cases) {
        SCOPED_TRACE(c.behaviour);
        Costume costume(ByteView{block.data(), block.size()});
        ASSERT_TRUE(costume.Parse());
        ASSERT_TRUE(costume.SelectFrame(2));
        g_headless.TakeErrors();
        EXPECT_EQ(costume.SelectFrame(c.frame), c.errors.empty());
        EXPECT_EQ(g_headless.TakeErrors(), c.errors);
        EXPECT_EQ(costume.currentFrame, c.selected);
        EXPECT_EQ(costume.FrameWidth(), c.width);
        EXPECT_EQ(costume.FrameHeight(), c.width + 1);
        ASSERT_EQ(costume.frameData.size, 3u - c.selected + 1);
        EXPECT_EQ(costume.frameData.data[0], 0xD0 + c.selected);
        EXPECT_EQ(costume.frameData.data + costume.frameData.size, block.data() + block.size());
    }
}

struct ForgedTableCase {
    const char* behaviour;
    std::vector<uint8_t> entry;  // frame 1's VEOF entry, before a 4-byte VECI and 1-byte VECD
    std::string missing;         // a sub-block left out
    bool selected;
};

TEST(CostumeSelectFrame, RefusesFrameTablesThatPointOutside) {
    const ForgedTableCase cases[] = {
        {"data at the end of VECD is an empty start", Concat({U32(1), U16(0)}), "", true},
        {"no VEOF", Concat({U32(0), U16(0)}), "VEOF", false},
        {"no VECI", Concat({U32(0), U16(0)}), "VECI", false},
        {"no VECD", Concat({U32(0), U16(0)}), "VECD", false},
        {"an entry cut short", {0, 0, 0, 0, 0}, "", false},
        {"a size record cut short", Concat({U32(0), U16(1)}), "", false},
        {"a size record far outside", Concat({U32(0), U16(0xFFFF)}), "", false},
        {"data past VECD", Concat({U32(2), U16(0)}), "", false},
        {"data far past VECD", Concat({U32(0xFFFFFFFF), U16(0)}), "", false},
    };
    for (const ForgedTableCase& c : cases) {
        SCOPED_TRACE(c.behaviour);
        std::vector<SubBlock> subBlocks{{"VEHD", kHeader},
                                        {"VEOF", c.entry},
                                        {"VECI", Concat({U16(1), U16(1)})},
                                        {"VECD", {0x11}}};
        std::erase_if(subBlocks, [&](const SubBlock& sub) { return sub.tag == c.missing; });
        const auto block = RawBlock(subBlocks);
        Costume costume(ByteView{block.data(), block.size()});
        ASSERT_TRUE(costume.Parse());
        g_headless.TakeErrors();
        EXPECT_EQ(costume.SelectFrame(1), c.selected);
        EXPECT_EQ(g_headless.TakeErrors(), c.selected ? Errors{} : Errors{"Invalid frame."});
        EXPECT_EQ(costume.currentFrame, c.selected ? 1 : 0);
        EXPECT_EQ(costume.frameInfo.data == nullptr, !c.selected);
    }
}

TEST(CostumeSelectFrame, WithoutFramesFrameZeroIsStillReportedFirst) {
    const auto block = RawBlock({{"VEHD", std::vector<uint8_t>(10)}});
    Costume costume(ByteView{block.data(), block.size()});
    ASSERT_TRUE(costume.Parse());
    for (uint16_t frame : {uint16_t{0}, uint16_t{1}}) {
        g_headless.TakeErrors();
        EXPECT_FALSE(costume.SelectFrame(frame));
        EXPECT_EQ(g_headless.TakeErrors(),
                  Errors{frame == 0 ? "Attempted to load frame 0."
                                    : "Attempted to load non-existent frame."});
    }
}

}  // namespace
