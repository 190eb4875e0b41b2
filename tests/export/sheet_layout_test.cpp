// Where frames go on a sheet, and the JSON that says so.
#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>

#include "export/sheet_json.h"
#include "export/sheet_layout.h"

namespace {

using Sizes = std::vector<SheetLayout::FrameSize>;

TEST(SheetLayout, PlacesFramesInBandsWithScaleAndPadding) {
    struct Cell {
        uint64_t x, y, width, height;
    };
    struct Case {
        const char* name;
        SheetArrangement arrangement;
        uint32_t scale, padding;
        uint64_t width, height;
        std::vector<Cell> cells;
    };
    // Three frames: 3 x 2, 1 x 4, 5 x 1.
    const Sizes sizes = {{1, 3, 2}, {2, 1, 4}, {3, 5, 1}};
    const Case cases[] = {
        {"row", SheetArrangement::Row, 1, 0, 9, 4, {{0, 0, 3, 2}, {3, 0, 1, 4}, {4, 0, 5, 1}}},
        {"row, padded", SheetArrangement::Row, 1, 2, 17, 8,
         {{2, 2, 3, 2}, {7, 2, 1, 4}, {10, 2, 5, 1}}},
        {"column", SheetArrangement::Column, 1, 0, 5, 7, {{0, 0, 3, 2}, {0, 2, 1, 4}, {0, 6, 5, 1}}},
        // Two columns, each as wide as its widest frame; two bands.
        {"grid", SheetArrangement::Grid, 1, 1, 9, 8, {{1, 1, 3, 2}, {7, 1, 1, 4}, {1, 6, 5, 1}}},
        {"grid, scaled", SheetArrangement::Grid, 2, 0, 12, 10,
         {{0, 0, 6, 4}, {10, 0, 2, 8}, {0, 8, 10, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SheetLayout layout;
        layout.Place(c.arrangement, sizes, c.scale, c.padding);
        EXPECT_EQ(layout.width, c.width);
        EXPECT_EQ(layout.height, c.height);
        ASSERT_EQ(layout.cells.size(), c.cells.size());
        for (size_t i = 0; i < c.cells.size(); ++i) {
            EXPECT_EQ(layout.cells[i].frame, sizes[i].frame);
            EXPECT_EQ(layout.cells[i].x, c.cells[i].x) << i;
            EXPECT_EQ(layout.cells[i].y, c.cells[i].y) << i;
            EXPECT_EQ(layout.cells[i].width, c.cells[i].width) << i;
            EXPECT_EQ(layout.cells[i].height, c.cells[i].height) << i;
        }
    }
}

TEST(SheetLayout, IsBoundedOnEachSideAndInArea) {
    const std::pair<Sizes, bool> cases[] = {
        {{{1, 16384, 1}}, true},
        {{{1, 16384, 1}, {2, 1, 1}}, false},       // a side too wide
        {{{1, 8192, 8192}, {2, 1, 1}}, false},     // 64 Mpixel and more
        {{{1, 8192, 4096}, {2, 8192, 4096}}, true},
    };
    for (const auto& [sizes, within] : cases) {
        SheetLayout layout;
        layout.Place(SheetArrangement::Row, sizes, 1, 0);
        EXPECT_EQ(layout.WithinBounds(), within) << layout.width << " x " << layout.height;
    }
}

nlohmann::json SheetJsonOf(const SheetLayout& layout, bool hash) {
    std::FILE* file = std::tmpfile();
    WriteSheetJson(file, layout, SheetJson{7, "costume-0007-sheet.png", hash, 2, 125});
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    std::fclose(file);
    return nlohmann::json::parse(text);
}

TEST(SheetJson, NamesEveryFrameInAnArrayOrAsAKey) {
    SheetLayout layout;
    layout.Place(SheetArrangement::Row, {{2, 3, 2}, {5, 1, 4}}, 2, 1);
    const nlohmann::json array = SheetJsonOf(layout, false);
    const nlohmann::json hash = SheetJsonOf(layout, true);
    ASSERT_TRUE(array["frames"].is_array());
    ASSERT_EQ(array["frames"].size(), 2u);
    EXPECT_EQ(array["frames"][1]["filename"], "costume-0007-frame-005");
    ASSERT_TRUE(hash["frames"].is_object());
    const nlohmann::json& entry = hash["frames"]["costume-0007-frame-005"];
    EXPECT_FALSE(entry.contains("filename"));
    for (const nlohmann::json* frame : {&array["frames"][1], &entry}) {
        EXPECT_EQ((*frame)["frame"], (nlohmann::json{{"x", 8}, {"y", 1}, {"w", 2}, {"h", 8}}));
        EXPECT_EQ((*frame)["duration"], 125);
    }
    EXPECT_EQ(array["meta"]["image"], "costume-0007-sheet.png");
    EXPECT_EQ(array["meta"]["scale"], "2");
    EXPECT_EQ(array["meta"]["size"], (nlohmann::json{{"w", 11}, {"h", 10}}));
    EXPECT_EQ(array["meta"]["frameTags"][0]["to"], 1);
    EXPECT_EQ(array["meta"], hash["meta"]);
}

}  // namespace
