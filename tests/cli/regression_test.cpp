// Forged games that once made the tool use unbounded memory or time, run again as a user
// would (inputs in tests/regressions/).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "cli/cli_fixture.h"

namespace {

// Under AddressSanitizer the tool's memory is mostly its shadow and quarantine, and a cap on
// its address space keeps it from starting: memory is measured in the other builds only.
#ifdef __SANITIZE_ADDRESS__
constexpr bool kMemoryMeasurable = false;
#else
constexpr bool kMemoryMeasurable = true;
#endif

const fs::path kRegressions = DUZURORO_REGRESSIONS;

struct RegressionTest : CliTest {
    // The finding's files, copied so that outputs may be written beside them.
    std::string Game(const char* finding) {
        fs::copy(kRegressions / finding, game, fs::copy_options::recursive);
        return (game / "G.LA0").string();
    }
};

// 501 costume entries point at one costume of 65,535 frames (32 million frame lines): the
// listing is written as it is made, so its length does not show in the tool's memory.
TEST_F(RegressionTest, InfoOfMillionsOfFramesNeedsNoMoreMemoryThanOfOne) {
    // Its 32 million frames take minutes under the sanitizers, and memory is what it checks.
    if (!kMemoryMeasurable) GTEST_SKIP() << "memory is not the tool's own under AddressSanitizer";
    const std::string index = Game("info-memory");
    for (bool json : {true, false}) {
        SCOPED_TRACE(json ? "json" : "text");
        std::vector<std::string> arguments = {"info", index};
        if (json) arguments.push_back("--json");
        const ToolRun run = Run(arguments, {true, 0});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_LT(run.peakMemoryKb, 32 * 1024);
    }
}

// 40 frames that all point at one 4096 x 4096 size record: 640 Mpixel from 473 bytes.
TEST_F(RegressionTest, ACostumeAskingForUnboundedDecodingIsRefusedBeforeAnyWork) {
    const std::string index = Game("decode-work");
    const std::string refused =
        "Note: Costume 1 has more than 67108864 pixels of frames to decode, more than any real "
        "costume: not exported.\n";
    const std::vector<std::string> outputs[] = {{}, {"--sheet"}, {"--format", "gif"}};
    for (const auto& output : outputs) {
        std::vector<std::string> arguments = {"export", index, "--out", out.string()};
        arguments.insert(arguments.end(), output.begin(), output.end());
        const ToolRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(Said(run), refused);
        EXPECT_FALSE(fs::exists(out));
    }
}

// Thirty costume entries, each a copy of that costume: every one is refused on its own, and
// the command stops once it has looked at 2 Gpixel of frames in all, however many entries
// the directory lists. Nothing is decoded, so the test is quick.
TEST_F(RegressionTest, AWholeCommandStopsAtItsOwnLimit) {
    size_t blockBytes = 0;
    const std::string index = WriteDecodeWorkGame(31, &blockBytes);
    ASSERT_EQ(blockBytes, 375u);

    // Each refused costume is charged the five frames looked at before its own budget ran
    // out (80 Mpixel): the 26th reaches the command's limit.
    std::string expected;
    for (int costume = 1; costume <= 25; ++costume) {
        expected += "Note: Costume " + std::to_string(costume) +
                    " has more than 67108864 pixels of frames to decode, more than any real "
                    "costume: not exported.\n";
    }
    expected += "Note: Costume 26 and the costumes after it are not exported: this command "
                "has reached its limit of 2147483648 pixels of frames, more than any real "
                "game has.\n";
    for (const char* command : {"export", "gallery"}) {
        SCOPED_TRACE(command);
        const ToolRun run = Run({command, index, "--out", out.string()});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(Said(run), expected);
        fs::remove_all(out);
    }
}

// The same game: a sheet too large is refused from the frames' size records, before any
// decoding, and leaves no file at all.
TEST_F(RegressionTest, ASheetTooLargeIsRefusedBeforeAnyWork) {
    const std::string index = Game("decode-work");
    const ToolRun run = Run({"export", index, "--frame", "1-2", "--scale", "3", "--sheet",
                             "--out", out.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Said(run),
              "Note: Costume 1: its sheet would be 24576 x 12288 pixels, more than 16384 a side "
              "or 64 Mpixel, and is not written. Try --layout grid.\n");
    EXPECT_FALSE(fs::exists(out));
}

// Two frames of 16 Mpixel on a sheet of 32 Mpixel: the frames are held once and the sheet
// is made row by row, so the tool needs their 32 MB and little more (it once held both).
TEST_F(RegressionTest, ALargeSheetIsWrittenRowByRow) {
    if (!kMemoryMeasurable) GTEST_SKIP() << "memory is not the tool's own under AddressSanitizer";
    const std::string index = Game("decode-work");
    const ToolRun run =
        Run({"export", index, "--frame", "1-2", "--sheet", "--out", out.string()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(Said(run), "");
    EXPECT_LT(run.peakMemoryKb, 48 * 1024);
    EXPECT_EQ(Written(), (std::set<std::string>{"costume-0001-sheet.json",
                                                "costume-0001-sheet.png"}));
    const PngContents png = ReadBack(out / "costume-0001-sheet.png");
    EXPECT_EQ(png.width, 8192u);
    EXPECT_EQ(png.height, 4096u);
}

// With memory too short for every frame, each frame that cannot be had says "Out of memory."
// and the tool goes on and ends with status 1: never an abort.
TEST_F(RegressionTest, RunningOutOfMemoryIsAMessageNotACrash) {
    if (!kMemoryMeasurable) GTEST_SKIP() << "no address-space cap under AddressSanitizer";
    const std::string index = Game("decode-work");
    const ToolRun run =
        Run({"export", index, "--frame", "1-2", "--sheet", "--out", out.string()},
            {false, 30 * 1024});
    EXPECT_EQ(run.exitCode, 1);
    std::istringstream lines(Said(run));
    std::string line;
    int failures = 0;
    while (std::getline(lines, line)) {
        EXPECT_EQ(line.rfind("Error: Out of memory. [costume 1, frame ", 0), 0u) << line;
        ++failures;
    }
    EXPECT_GE(failures, 1);
}

}  // namespace
