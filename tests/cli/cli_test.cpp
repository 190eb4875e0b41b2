// duzuroro-cli run as a user runs it: the files and listings it writes are compared with
// what the core renders and reads in this process.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <set>

#include "app/shell.h"
#include "cli/cli_fixture.h"
#include "frontends/headless/headless_frontend.h"

namespace {

using nlohmann::json;

TEST_F(CliTest, ExportWritesEveryFrameOfTheDemoAsTheCoreRendersIt) {
    MakeDemo();
    const ToolRun run = Run({"export", IndexFile(), "--out", out.string()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Said(run), "Note: DEMO.LA3 is missing, so costume 15 is not present.\n");

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
    EXPECT_EQ(run.err,
              "Note: GAME.LA2 is missing, so costume 2 is not present.\n"
              "Error: VERM not found. [costume 3]\nError: Invalid frame. [costume 4, frame 3]\n"
              "Error: Invalid room. [costume 5]\n");
    const json expected = {
        {"directory", (game / "").string()},
        {"baseName", "GAME"},
        {"files",
         {{{"slot", 0}, {"path", (game / "GAME.LA0").string()}},
          {{"slot", 1}, {"path", (game / "GAME.LA1").string()}}}},
        {"missingDisks", {{{"slot", 2}, {"file", "GAME.LA2"}, {"costumes", {2}}}}},
        {"roomCount", 3},
        {"costumeCount", 6},
        {"listedCostumeCount", 5},
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
    EXPECT_NE(text.out.find("\nCostumes: 6 in the directory; costume 0 is not browsed, so 5 are "
                            "listed\nCostume 1: room 1, disk 1, loaded, codec 5, 16 colours, 2 frames: "
                            "3x2 1x4\nCostume 2: room 2, disk 2, not-present\n"),
              std::string::npos)
        << text.out;
}

TEST_F(CliTest, ExportGoesOnPastEachFailureAndNamesItOnce) {
    WriteTroubledGame(game);
    const ToolRun run = Run({"export", (game / "GAME.LA0").string(), "--out", out.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Said(run),
              "Note: GAME.LA2 is missing, so costume 2 is not present.\n"
              "Error: VERM not found. [costume 3]\n"
              "Note: Costume 4, frame 1 has no pixels. Skipped.\n"
              "Error: Invalid frame. [costume 4, frame 3]\n"
              "Error: Invalid room. [costume 5]\n");
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
        {{}, 2,
         "Error: say which command to run: info, export, screen, gallery, diff, thumbnail or "
         "make-demo"},
        {{"export"}, 2, "Error: export needs the game's index file (.LA0)"},
        {{"export", "{game}", "out"}, 2, "Error: \"out\" is one word too many for export"},
        {{"export", "{game}", "--bogus"}, 2, "Error: export has no option --bogus"},
        {{"thumbnail", "{game}"}, 2, "Error: thumbnail needs OUT_PNG"},
        {{"export", "{game}", "--frame", "0"},
         2,
         "Error: --frame: 0 is not within 1 to 65535"},
        {{"export", "{game}", "--frame", "3-2"},
         2,
         "Error: --frame: the range 3-2 ends before it begins"},
        {{"export", "{game}", "--costume", "1,x"},
         2,
         "Error: --costume: 'x' is not a number N or a range A-B"},
        {{"export", "{game}", "--palette-only"}, 2, "Error: --palette-only requires --palette"},
        {{"export", "{game}", "--scale", "9"}, 2, "Error: --scale takes a whole number from 1 to 8, not \"9\""},
        {{"frobnicate"}, 2, "Error: Unknown command: frobnicate"},
        {{"screen", "{game}", "--out", "{out}/s.png"}, 2, "Error: --costume is required"},
        {{"info", "{out}/NONE.LA0"}, 1, "Error: No SCUMM disks found. [{out}/NONE.LA0: No such file or directory]\n"},
        {{"info", "{out}"}, 1, "Error: No SCUMM disks found. [{out}: a folder, not an index file]\n"},
        {{"export", "{game}", "--costume", "99", "--out", "{out}"},
         1,
         "Error: costume 99 is out of range: this game's costumes are 1 to 15\n"},
        {{"export", "{game}", "--costume", "15", "--out", "{out}/new"},
         1,
         "Note: DEMO.LA3 is missing, so costume 15 is not present.\n"
         "Error: Costume 15 is not present on this disk. [costume 15]\n"},
        {{"export", "{game}", "--costume", "1", "--frame", "99-100,120", "--out", "{out}/new"},
         1,
         "Error: Frame out of range. [costume 1, frame 99]\n"},
        {{"screen", "{game}", "--costume", "99", "--out", "{out}/s.png"},
         1,
         "Error: Costume out of range. [costume 99]\n"},
        {{"screen", "{game}", "--costume", "15", "--frame", "2", "--out", "{out}/s.png"},
         1,
         "Error: Costume 15 is not present on this disk. [costume 15]\n"},
        {{"screen", "{game}", "--costume", "2", "--frame", "13", "--out", "{out}/s.png"},
         1,
         "Error: Frame out of range. [costume 2, frame 13]\n"},
        {{"screen", "{game}", "--costume", "1", "--out", "{disk}"},
         1,
         "Error: Refusing to write over a game file: " + disk + " [costume 1, frame 1]\n"},
        // Not there yet, but the next open would take it for disk 2 in any letter case.
        {{"screen", "{game}", "--costume", "1", "--out", "{game_dir}/demo.la2"},
         1,
         "Error: Refusing to write over a game file: " + (game / "demo.la2").string() +
             " [costume 1, frame 1]\n"},
        {{"export", "{game}", "--costume", "1", "--frame", "1", "--out", "{out}"},
         1,
         "Error: Refusing to write over a game file: " +
             (out / "costume-0001-frame-001.png").string() + " [costume 1, frame 1]\n"},
    };
    // A link named as an exported frame must not lead the export into the game's file.
    fs::create_symlink(disk, out / "costume-0001-frame-001.png");
    for (const ErrorCase& error : cases) {
        std::vector<std::string> arguments;
        std::string shown;
        for (std::string argument : error.arguments) {
            for (auto [key, value] : {std::pair<std::string, std::string>{"{game}", IndexFile()},
                                      {"{game_dir}", game.string()},
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
            std::string expected = error.err;
            const size_t at = expected.find("{out}");
            if (at != std::string::npos) expected.replace(at, 5, out.string());
            EXPECT_EQ(Said(run), expected);
        }
    }
    EXPECT_EQ(ReadFileText(disk), diskBytes);
    EXPECT_FALSE(fs::exists(out / "s.png"));
    EXPECT_FALSE(fs::exists(out / "new"));  // nothing written, so no folder made
    EXPECT_FALSE(fs::exists(game / "demo.la2"));
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
    std::string err;  // a costume not present is pictured with its status line, as an error
};

TEST_F(CliTest, ScreenIsThePictureOfTheHeadlessSession) {
    MakeDemo();
    const ScreenCase cases[] = {{1, 1, false, ""},
                                {3, 4, true, ""},
                                {6, 10, false, ""},
                                {14, 2, true, ""},
                                {15, 1, false,
                                 "Error: Costume 15 is not present on this disk. [costume 15]\n"}};
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
        EXPECT_EQ(run.exitCode, shown.err.empty() ? 0 : 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, shown.err);

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
