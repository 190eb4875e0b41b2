// What the tests of duzuroro-cli share: a scratch folder with the demo game or a game of
// their own, the tool run in it, and the core's reading of the same costumes to compare with.
#pragma once

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "archive/game_archive.h"
#include "authoring/costume_builder.h"
#include "authoring/game_writer.h"
#include "support/png/png_reader.h"
#include "cli/tool_run.h"
#include "costume/costume.h"
#include "costume/loaded_costume.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace fs = std::filesystem;
// A frame as the core renders it, for comparing with what the tool wrote.
inline IndexedImage CoreFrame(const LoadedCostume& core, uint16_t frame) {
    IndexedImage image;
    EXPECT_TRUE(core.costume->SelectFrame(frame) && core.costume->Render(&image, 0, 0));
    return image;
}

struct CliTest : ::testing::Test {
    TempDir temp;
    fs::path game = temp.path / "game";
    fs::path out = temp.path / "out";

    std::string IndexFile() const { return (game / "DEMO.LA0").string(); }

    ToolRun Run(const std::vector<std::string>& arguments, const ToolLimits& limits = {}) const {
        return RunTool(arguments, temp.path, limits);
    }

    // A game "G" of `count` copies of the forged decode-work costume of tests/regressions,
    // each charging the command's decode budget without being decoded; its index file.
    std::string WriteDecodeWorkGame(size_t count, size_t* blockBytes = nullptr) {
        std::ifstream file(fs::path(DUZURORO_REGRESSIONS) / "decode-work" / "costume-block",
                           std::ios::binary);
        const std::vector<uint8_t> block{std::istreambuf_iterator<char>(file), {}};
        if (blockBytes != nullptr) *blockBytes = block.size();
        GameLayout layout;
        layout.roomDisks = {0, 1};
        layout.costumes.resize(count, GameCostume{1, block});
        std::string error;
        EXPECT_TRUE(WriteGame(game, "G", layout, &error)) << error;
        return (game / "G.LA0").string();
    }

    void MakeDemo() {
        const ToolRun run = Run({"make-demo", game.string()});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        ASSERT_EQ(run.out + run.err, "");
    }

    std::unique_ptr<GameArchive> OpenCore() {
        directory = (game / "").string();
        baseName = "DEMO";
        auto archive = std::make_unique<GameArchive>(directory, baseName);
        EXPECT_TRUE(archive->Open());
        return archive;
    }

    // The names of the files in the output folder; none when it was not made.
    std::set<std::string> Written() const {
        std::set<std::string> names;
        if (!fs::exists(out)) return names;
        for (const auto& entry : fs::directory_iterator(out)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    static PngContents ReadBack(const fs::path& path) {
        PngContents png;
        std::string error;
        EXPECT_TRUE(ReadPng(path, &png, &error)) << error;
        return png;
    }

    std::string directory, baseName;  // borrowed by the archives OpenCore makes
};

// An indexed PNG holds the image's size, all 256 palette entries and its indices.
inline void ExpectIndexedPngOf(const PngContents& png, const IndexedImage& image) {
    EXPECT_EQ(png.colourType, PNG_COLOR_TYPE_PALETTE);
    EXPECT_EQ(png.bitDepth, 8);
    EXPECT_EQ(png.width, image.width);
    EXPECT_EQ(png.height, image.height);
    EXPECT_EQ(png.palette, image.palette);
    EXPECT_TRUE(png.pixels == image.pixels);
}

// The VERM block with frame `frame`'s size record pointed far outside VECI.
inline std::vector<uint8_t> WithForgedSizeRecord(std::vector<uint8_t> block, uint16_t frame) {
    const uint8_t tag[4] = {'V', 'E', 'O', 'F'};
    auto found = std::search(block.begin(), block.end(), tag, tag + 4);
    const size_t entry = static_cast<size_t>(found - block.begin()) + 8 + (frame - 1) * 6u + 4;
    block.at(entry) = 0xFF;
    block.at(entry + 1) = 0xFF;
    return block;
}

// A costume design whose frames are plain rectangles of one colour each.
inline CostumeDesign Rectangles(uint16_t codec, uint32_t colourCount,
                         std::vector<std::pair<uint16_t, uint16_t>> sizes) {
    CostumeDesign design;
    design.codec = codec;
    design.colours.assign(colourCount * 3, 90);
    uint8_t colour = 1;
    for (auto [width, height] : sizes) {
        design.frames.push_back(
            CostumeFrame{width, height, std::vector<uint8_t>(size_t{width} * height, colour++)});
    }
    return design;
}

