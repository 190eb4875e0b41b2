// duzuroro-cli run as a user runs it: the files and listings it writes are compared with
// what the core renders and reads in this process.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <set>

#include "app/shell.h"
#include "archive/game_archive.h"
#include "archive/game_writer.h"
#include "cli/png_reader.h"
#include "cli/tool_run.h"
#include "costume/costume.h"
#include "costume/costume_builder.h"
#include "costume/loaded_costume.h"
#include "frontends/headless/headless_frontend.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr uint32_t kNotPresentDemoCostume = 15;

// A frame as the core renders it, for comparing with what the tool wrote.
IndexedImage CoreFrame(const LoadedCostume& core, uint16_t frame) {
    IndexedImage image;
    EXPECT_TRUE(core.costume->SelectFrame(frame) && core.costume->Render(&image, 0, 0));
    return image;
}

struct CliTest : ::testing::Test {
    TempDir temp;
    fs::path game = temp.path / "game";
    fs::path out = temp.path / "out";

    std::string IndexFile() const { return (game / "DEMO.LA0").string(); }

    ToolRun Run(const std::vector<std::string>& arguments) const {
        return RunTool(arguments, temp.path);
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

    static PngContents ReadBack(const fs::path& path) {
        PngContents png;
        std::string error;
        EXPECT_TRUE(ReadPng(path, &png, &error)) << error;
        return png;
    }

    std::string directory, baseName;  // borrowed by the archives OpenCore makes
};

// An indexed PNG holds the image's size, all 256 palette entries and its indices.
void ExpectIndexedPngOf(const PngContents& png, const IndexedImage& image) {
    EXPECT_EQ(png.colourType, PNG_COLOR_TYPE_PALETTE);
    EXPECT_EQ(png.bitDepth, 8);
    EXPECT_EQ(png.width, image.width);
    EXPECT_EQ(png.height, image.height);
    EXPECT_EQ(png.palette, image.palette);
    EXPECT_TRUE(png.pixels == image.pixels);
}

TEST_F(CliTest, ExportWritesEveryFrameOfTheDemoAsTheCoreRendersIt) {
    MakeDemo();
    const ToolRun run = Run({"export", IndexFile(), "--out", out.string()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Note: Costume 15 is not present on this disk. Skipped.\n");

    auto archive = OpenCore();
    size_t frames = 0, loaded = 0, notPresent = 0;
    std::set<uint16_t> codecs;
    std::set<uint32_t> colourCounts;
    bool largerThanZoomShows = false;
    for (uint32_t number = 1; number < archive->costumeDirectory.count; ++number) {
        LoadedCostume core;
        if (core.Load(*archive, number) == CostumeLoadResult::NotPresent) {
            ++notPresent;
            continue;
        }
        ASSERT_TRUE(core.costume) << "costume " << number;
        ++loaded;
        codecs.insert(core.costume->Codec());
        colourCounts.insert(core.costume->colourCount);
        EXPECT_GE(core.costume->FrameCount(), 4) << "costume " << number;
        for (uint16_t frame = 1; frame <= core.costume->FrameCount(); ++frame) {
            const IndexedImage image = CoreFrame(core, frame);
            char name[64];
            std::snprintf(name, sizeof name, "costume-%04u-frame-%03u.png", number, frame);
            SCOPED_TRACE(name);
            const PngContents png = ReadBack(out / name);
            ExpectIndexedPngOf(png, image);
            EXPECT_TRUE(png.alpha.empty());
            largerThanZoomShows = largerThanZoomShows || image.width > 320 || image.height > 240;
            ++frames;
        }
    }
    EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(out), {})), frames);
    EXPECT_GE(loaded, 12u);
    EXPECT_EQ(notPresent, 1u);
    EXPECT_EQ(codecs, (std::set<uint16_t>{1, 5, 16}));
    for (uint32_t count : {16u, 32u, 64u, 256u}) EXPECT_TRUE(colourCounts.count(count)) << count;
    EXPECT_TRUE(largerThanZoomShows);
}

TEST_F(CliTest, SheetsPutTheFramesLeftToRightOnTheTransparentIndex) {
    MakeDemo();
    const ToolRun run = Run({"export", IndexFile(), "--costume", "2", "--costume", "14", "--sheet",
                             "--transparent", "0", "--out", out.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out + run.err, "");
    EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(out), {})), 4u);

    auto archive = OpenCore();
    for (uint32_t number : {2u, 14u}) {
        char base[32];
        std::snprintf(base, sizeof base, "costume-%04u-sheet", number);
        SCOPED_TRACE(base);
        const json layout = json::parse(ReadFileText(out / (std::string(base) + ".json")));
        const PngContents png = ReadBack(out / (std::string(base) + ".png"));
        EXPECT_EQ(png.alpha, std::vector<uint8_t>{0});
        LoadedCostume core;
        core.Load(*archive, number);
        ASSERT_TRUE(core.costume);
        EXPECT_EQ(layout["costume"], number);
        EXPECT_EQ(layout["image"], std::string(base) + ".png");
        ASSERT_EQ(layout["frames"].size(), core.costume->FrameCount());

        // Every sheet pixel is its frame's pixel inside a rectangle and index 0 outside.
        std::vector<uint8_t> expected(size_t{png.width} * png.height, 0);
        uint32_t x = 0, height = 0;
        for (uint16_t frame = 1; frame <= core.costume->FrameCount(); ++frame) {
            const IndexedImage image = CoreFrame(core, frame);
            const json rectangle = {{"frame", frame},
                                    {"x", x},
                                    {"y", 0},
                                    {"width", image.width},
                                    {"height", image.height}};
            EXPECT_EQ(layout["frames"][frame - 1], rectangle);
            for (uint32_t row = 0; row < image.height && row < png.height; ++row) {
                std::copy_n(&image.pixels[row * image.width], image.width,
                            &expected[row * png.width + x]);
            }
            if (frame == 1) {
                EXPECT_EQ(png.palette, image.palette);
            }
            x += image.width;
            height = std::max<uint32_t>(height, image.height);
        }
        EXPECT_EQ(png.width, x);
        EXPECT_EQ(png.height, height);
        EXPECT_EQ(layout["width"], x);
        EXPECT_EQ(layout["height"], height);
        EXPECT_TRUE(png.pixels == expected);
    }
}

TEST_F(CliTest, OneFrameWithATransparentIndexKeepsTheOtherEntriesOpaque) {
    MakeDemo();
    const ToolRun run = Run({"export", IndexFile(), "--costume", "1", "--frame", "3",
                             "--transparent", "5", "--out", out.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(out), {})), 1u);
    const PngContents png = ReadBack(out / "costume-0001-frame-003.png");
    EXPECT_EQ(png.alpha, (std::vector<uint8_t>{255, 255, 255, 255, 255, 0}));
    auto archive = OpenCore();
    LoadedCostume core;
    core.Load(*archive, 1);
    ExpectIndexedPngOf(png, CoreFrame(core, 3));
}

// A costume design whose frames are plain rectangles of one colour each.
CostumeDesign Rectangles(uint16_t codec, uint32_t colourCount,
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

// The VERM block with frame `frame`'s size record pointed far outside VECI.
std::vector<uint8_t> WithForgedSizeRecord(std::vector<uint8_t> block, uint16_t frame) {
    const uint8_t tag[4] = {'V', 'E', 'O', 'F'};
    auto found = std::search(block.begin(), block.end(), tag, tag + 4);
    const size_t entry = static_cast<size_t>(found - block.begin()) + 8 + (frame - 1) * 6u + 4;
    block.at(entry) = 0xFF;
    block.at(entry + 1) = 0xFF;
    return block;
}

// A game with one costume of each outcome: loaded; not present; not a VERM block; a frame
// without pixels and one whose size record lies outside its block; a room past the room
// directory.
void WriteTroubledGame(const fs::path& directory) {
    GameLayout layout;
    layout.roomDisks = {0, 1, 2};
    layout.absentDisks = {2};
    layout.costumes = {
        {},
        {1, BuildCostumeBlock(Rectangles(5, 16, {{3, 2}, {1, 4}}))},
        {2, BuildCostumeBlock(Rectangles(1, 16, {{2, 2}}))},
        {1, std::vector<uint8_t>(64, 'X')},
        {1,
         WithForgedSizeRecord(BuildCostumeBlock(Rectangles(1, 32, {{0, 3}, {2, 2}, {2, 2}})), 3)},
        {9, BuildCostumeBlock(Rectangles(16, 16, {{2, 2}}))},
    };
    std::string error;
    ASSERT_TRUE(WriteGame(directory, "GAME", layout, &error)) << error;
}

TEST_F(CliTest, InfoJsonListsFilesCostumesFramesAndFailures) {
    WriteTroubledGame(game);
    const ToolRun run = Run({"info", (game / "GAME.LA0").string(), "--json"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Error: VERM not found.\nError: Invalid frame.\nError: Invalid room.\n");
    const json expected = {
        {"directory", (game / "").string()},
        {"baseName", "GAME"},
        {"files",
         {{{"slot", 0}, {"path", (game / "GAME.LA0").string()}},
          {{"slot", 1}, {"path", (game / "GAME.LA1").string()}}}},
        {"roomCount", 3},
        {"costumeCount", 6},
        {"costumes",
         {{{"number", 1},
           {"room", 1},
           {"disk", 1},
           {"status", "loaded"},
           {"codec", 5},
           {"colourCount", 16},
           {"frameCount", 2},
           {"frames", {{{"width", 3}, {"height", 2}}, {{"width", 1}, {"height", 4}}}}},
          {{"number", 2}, {"room", 2}, {"disk", 2}, {"status", "not-present"}},
          {{"number", 3},
           {"room", 1},
           {"disk", 1},
           {"status", "failed"},
           {"error", "VERM not found."}},
          {{"number", 4},
           {"room", 1},
           {"disk", 1},
           {"status", "loaded"},
           {"codec", 1},
           {"colourCount", 32},
           {"frameCount", 3},
           {"frames",
            {{{"width", 0}, {"height", 3}},
             {{"width", 2}, {"height", 2}},
             {{"error", "Invalid frame."}}}}},
          {{"number", 5},
           {"room", 9},
           {"disk", nullptr},
           {"status", "failed"},
           {"error", "Invalid room."}}}},
    };
    EXPECT_EQ(json::parse(run.out), expected);

    const ToolRun text = Run({"info", (game / "GAME.LA0").string()});
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_EQ(text.err, run.err);
    EXPECT_NE(text.out.find("\nCostume 1: room 1, disk 1, loaded, codec 5, 16 colours, 2 frames: "
                            "3x2 1x4\nCostume 2: room 2, disk 2, not-present\n"),
              std::string::npos)
        << text.out;
}

TEST_F(CliTest, ExportGoesOnPastEachFailureAndNamesItOnce) {
    WriteTroubledGame(game);
    const ToolRun run = Run({"export", (game / "GAME.LA0").string(), "--out", out.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "Note: Costume 2 is not present on this disk. Skipped.\n"
              "Error: VERM not found.\n"
              "Note: Costume 4, frame 1 has no pixels. Skipped.\n"
              "Error: Invalid frame.\n"
              "Error: Invalid room.\n");
    std::set<std::string> written;
    for (const auto& entry : fs::directory_iterator(out)) {
        written.insert(entry.path().filename().string());
    }
    EXPECT_EQ(written,
              (std::set<std::string>{"costume-0001-frame-001.png", "costume-0001-frame-002.png",
                                     "costume-0004-frame-002.png"}));
}

struct ErrorCase {
    std::vector<std::string> arguments;  // {game}, {out} and {disk} stand for the paths
    int exitCode;
    std::string err;  // all of standard error; for usage errors, its first line
};

TEST_F(CliTest, FailuresExitWithTheirStatusAndSayEachMessageOnce) {
    MakeDemo();
    fs::create_directories(out);
    const std::string disk = (game / "DEMO.LA1").string();
    const std::string diskBytes = ReadFileText(disk);
    const ErrorCase cases[] = {
        {{}, 2, "Error: A subcommand is required"},
        {{"export"}, 2, "Error: INDEX_FILE is required"},
        {{"export", "{game}", "--frame", "0"},
         2,
         "Error: --frame: Value 0 not in range 1 to 65535"},
        {{"frobnicate"}, 2, "Error: Unknown command: frobnicate"},
        {{"screen", "{game}", "--out", "{out}/s.png"}, 2, "Error: --costume is required"},
        {{"info", "{out}/NONE.LA0"}, 1, "Error: No SCUMM disks found.\n"},
        {{"export", "{game}", "--costume", "99", "--out", "{out}"},
         1,
         "Error: Costume out of range.\n"},
        {{"export", "{game}", "--costume", "15", "--out", "{out}"},
         1,
         "Error: Costume 15 is not present on this disk.\n"},
        {{"export", "{game}", "--costume", "1", "--frame", "99", "--out", "{out}"},
         1,
         "Error: Frame out of range.\n"},
        {{"screen", "{game}", "--costume", "99", "--out", "{out}/s.png"},
         1,
         "Error: Costume out of range.\n"},
        {{"screen", "{game}", "--costume", "15", "--frame", "2", "--out", "{out}/s.png"},
         1,
         "Error: Frame out of range.\n"},
        {{"screen", "{game}", "--costume", "1", "--out", "{disk}"},
         1,
         "Error: Refusing to write over a game file: " + disk + "\n"},
        {{"export", "{game}", "--costume", "1", "--frame", "1", "--out", "{out}"},
         1,
         "Error: Refusing to write over a game file: " +
             (out / "costume-0001-frame-001.png").string() + "\n"},
    };
    // A link named as an exported frame must not lead the export into the game's file.
    fs::create_symlink(disk, out / "costume-0001-frame-001.png");
    for (const ErrorCase& error : cases) {
        std::vector<std::string> arguments;
        std::string shown;
        for (std::string argument : error.arguments) {
            for (auto [key, value] : {std::pair<std::string, std::string>{"{game}", IndexFile()},
                                      {"{out}", out.string()},
                                      {"{disk}", disk}}) {
                if (argument.compare(0, key.size(), key) == 0)
                    argument.replace(0, key.size(), value);
            }
            shown += " " + argument;
            arguments.push_back(argument);
        }
        SCOPED_TRACE(shown);
        const ToolRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, error.exitCode);
        EXPECT_EQ(run.out, "");
        if (error.exitCode == 2) {
            EXPECT_EQ(run.err.substr(0, run.err.find('\n')), error.err);
            EXPECT_NE(run.err.find("\nUsage:\n  duzuroro-cli "), std::string::npos) << run.err;
        } else {
            EXPECT_EQ(run.err, error.err);
        }
    }
    EXPECT_EQ(ReadFileText(disk), diskBytes);
    EXPECT_FALSE(fs::exists(out / "s.png"));
}

TEST_F(CliTest, HelpAndVersionGoToStandardOutput) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--version"}, "duzuroro-cli " DUZURORO_VERSION "\n" DUZURORO_LICENCE "\n"},
        {{"--help"}, "make-demo"},
        {{"info", "--help"}, "--json"},
        {{"export", "--help"}, "--transparent"},
        {{"screen", "--help"}, "--zoom"},
        {{"make-demo", "--help"}, "DIR"},
    };
    for (const auto& [arguments, shown] : cases) {
        SCOPED_TRACE(arguments.front() + " " + arguments.back());
        const ToolRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_NE(run.out.find(shown), std::string::npos) << run.out;
    }
}

struct ScreenCase {
    uint32_t costume;
    uint16_t frame;
    bool zoom;
};

TEST_F(CliTest, ScreenIsThePictureOfTheHeadlessSession) {
    MakeDemo();
    const ScreenCase cases[] = {{1, 1, false},
                                {3, 4, true},
                                {6, 10, false},
                                {14, 2, true},
                                {kNotPresentDemoCostume, 1, false}};
    for (const ScreenCase& shown : cases) {
        SCOPED_TRACE("costume " + std::to_string(shown.costume) + " frame " +
                     std::to_string(shown.frame) + (shown.zoom ? " zoomed" : ""));
        const fs::path file = temp.path / "screen.png";
        std::vector<std::string> arguments = {"screen",    IndexFile(),
                                              "--costume", std::to_string(shown.costume),
                                              "--frame",   std::to_string(shown.frame),
                                              "--out",     file.string()};
        if (shown.zoom) arguments.push_back("--zoom");
        const ToolRun run = Run(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out + run.err, "");

        ASSERT_TRUE(HeadlessStart());
        HeadlessOpen(IndexFile());
        if (shown.zoom) HeadlessPressKey(KEY_ADD);
        for (uint32_t i = 1; i < shown.costume; ++i) HeadlessPressKey(KEY_UP);
        for (uint16_t i = 1; i < shown.frame; ++i) HeadlessPressKey(KEY_RIGHT);
        const std::vector<uint8_t> expected = HeadlessPictureRgb();
        HeadlessStop();
        EXPECT_TRUE(g_headless.TakeErrors().empty());

        const PngContents png = ReadBack(file);
        EXPECT_EQ(png.colourType, PNG_COLOR_TYPE_RGB);
        EXPECT_EQ(png.bitDepth, 8);
        EXPECT_EQ(png.width, 640u);
        EXPECT_EQ(png.height, 480u);
        EXPECT_TRUE(png.pixels == expected);
        EXPECT_GT(std::count_if(expected.begin(), expected.end(), [](uint8_t c) { return c; }), 0);
    }
}

}  // namespace
