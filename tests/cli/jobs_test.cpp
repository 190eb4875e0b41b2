// --jobs: with several workers, export and gallery write the same files and print the same
// lines, in the same order, as with one; they stop where one stops.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>

#include "cli/cli_fixture.h"

namespace {

const fs::path kRegressions = DUZURORO_REGRESSIONS;

// Every file under `folder`, by its path inside it, with its bytes.
std::map<std::string, std::string> Contents(const fs::path& folder) {
    std::map<std::string, std::string> files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), folder).string()] = ReadFileText(entry.path());
        }
    }
    return files;
}

struct JobsTest : CliTest {
    struct Outcome {
        ToolRun run;
        std::map<std::string, std::string> files;
    };

    Outcome RunWithJobs(std::vector<std::string> arguments, const std::string& jobs) {
        const fs::path folder = temp.path / ("out-" + std::to_string(++runs));
        arguments.insert(arguments.end(), {"--out", folder.string(), "--jobs", jobs});
        Outcome outcome{Run(arguments), Contents(folder)};
        fs::remove_all(folder);
        return outcome;
    }

    // The command with one worker and with four: the same status, output, messages and files.
    // Returns what the one worker printed on standard error.
    std::string ExpectSameWithOneAndFour(const std::vector<std::string>& arguments) {
        const Outcome one = RunWithJobs(arguments, "1");
        const Outcome four = RunWithJobs(arguments, "4");
        EXPECT_EQ(four.run.exitCode, one.run.exitCode);
        EXPECT_EQ(four.run.out, one.run.out);
        // The same summary too, but for the folder each wrote into.
        const std::regex folder("out-[0-9]+/");
        EXPECT_EQ(std::regex_replace(four.run.err, folder, "out/"),
                  std::regex_replace(one.run.err, folder, "out/"));
        EXPECT_EQ(four.files.size(), one.files.size());
        for (const auto& [name, bytes] : one.files) {
            const auto found = four.files.find(name);
            EXPECT_TRUE(found != four.files.end() && found->second == bytes) << name;
        }
        return Said(one.run);
    }

    std::string CopiedGame(const char* finding) {
        fs::copy(kRegressions / finding, game, fs::copy_options::recursive);
        return (game / "G.LA0").string();
    }

    int runs = 0;
};

TEST_F(JobsTest, TheDemoGameIsWrittenTheSameByOneWorkerAndByFour) {
    MakeDemo();
    const std::string index = IndexFile();
    const std::vector<std::string> commands[] = {
        {"export", index},
        {"export", index, "--sheet", "--layout", "grid", "--padding", "1", "--palette", "act"},
        {"export", index, "--format", "gif", "--scale", "2", "--frame", "2-4,40"},
        {"export", index, "--costume", "14,3-5,15,99", "--palette", "pal"},
        {"export", index, "--palette", "gpl", "--palette-only"},
        {"gallery", index, "--transparent", "0"},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command[0] + " " + command.back());
        ExpectSameWithOneAndFour(command);
    }
}

// The forged games of tests/regressions/: refusals before any work, a sheet made row by row,
// and 501 entries of one costume of 65,535 frames (its first frames only, or its palettes:
// all of it would be half a million files).
TEST_F(JobsTest, TheRegressionGamesAreWrittenTheSameByOneWorkerAndByFour) {
    const std::string decodeWork = CopiedGame("decode-work");
    const std::vector<std::string> commands[] = {
        {"export", decodeWork},
        {"export", decodeWork, "--frame", "1-2", "--sheet"},
        {"export", decodeWork, "--format", "gif"},
        {"gallery", decodeWork},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command[0] + " " + command.back());
        ExpectSameWithOneAndFour(command);
    }
    fs::remove_all(game);
    const std::string infoMemory = CopiedGame("info-memory");
    for (const auto& command : {std::vector<std::string>{"export", infoMemory, "--frame", "1-3"},
                                std::vector<std::string>{"export", infoMemory, "--palette", "act",
                                                         "--palette-only"}}) {
        SCOPED_TRACE(command.back());
        ExpectSameWithOneAndFour(command);
    }
}

// Thirty-one copies of the decode-work costume: the 26th reaches the command's limit. Workers
// may have loaded costumes past it by then; none of them writes or says anything.
TEST_F(JobsTest, SeveralWorkersStopAtTheCostumeThatReachesTheLimit) {
    const std::string index = WriteDecodeWorkGame(31);
    for (const char* command : {"export", "gallery"}) {
        SCOPED_TRACE(command);
        const std::string err = ExpectSameWithOneAndFour({command, index});
        EXPECT_NE(err.find("Note: Costume 26 and the costumes after it are not exported"),
                  std::string::npos);
        EXPECT_EQ(err.find("Costume 27"), std::string::npos);
    }
}

// Forty costumes, some failing in each way, the slow ones before the quick: each message
// comes in costume order, as one worker says them.
TEST_F(JobsTest, TheMessagesOfCostumesThatFailComeInCostumeOrder) {
    GameLayout layout;
    // Room 0 lies on no disk: its costumes are not present, each said in its turn (a missing
    // disk's would be said once, before them all).
    layout.roomDisks = {0, 1};
    layout.costumes.push_back({});
    std::string expected;
    for (uint32_t costume = 1; costume < 40; ++costume) {
        const std::string number = std::to_string(costume);
        if (costume % 5 == 0) {
            layout.costumes.push_back({0, BuildCostumeBlock(Rectangles(1, 16, {{2, 2}}))});
            expected += "Note: Costume " + number + " is not present on this disk. Skipped.\n";
        } else if (costume % 3 == 0) {
            layout.costumes.push_back({1, std::vector<uint8_t>(64, 'X')});
            expected += "Error: VERM not found. [costume " + number + "]\n";
        } else if (costume % 7 == 0) {
            layout.costumes.push_back(
                {1, WithForgedSizeRecord(
                        BuildCostumeBlock(Rectangles(16, 32, {{2, 2}, {2, 2}, {2, 2}})), 3)});
            expected += "Error: Invalid frame. [costume " + number + ", frame 3]\n";
        } else {
            // Large frames, slow to write, so that the quick failures after them finish first.
            const uint16_t side = costume % 2 == 1 ? 300 : 20;
            layout.costumes.push_back(
                {1, BuildCostumeBlock(Rectangles(5, 64, {{side, side}, {side, 8}, {8, side}}))});
        }
    }
    std::string error;
    ASSERT_TRUE(WriteGame(game, "G", layout, &error)) << error;
    const std::string index = (game / "G.LA0").string();
    for (const char* jobs : {"4", "1"}) {
        SCOPED_TRACE(jobs);
        const Outcome run = RunWithJobs({"export", index}, jobs);
        EXPECT_EQ(run.run.exitCode, 1);
        EXPECT_EQ(Said(run.run), expected);
    }
    ExpectSameWithOneAndFour({"gallery", index});
}

TEST_F(JobsTest, AskingForNoWorkerOrTooManyIsAUsageError) {
    MakeDemo();
    for (const char* jobs : {"0", "65", "two"}) {
        const ToolRun run = Run({"export", IndexFile(), "--out", out.string(), "--jobs", jobs});
        EXPECT_EQ(run.exitCode, 2) << jobs;
        EXPECT_FALSE(fs::exists(out));
    }
    const ToolRun help = Run({"gallery", "--help"});
    EXPECT_NE(help.out.find("--jobs N (1 to 64)"), std::string::npos) << help.out;
}

}  // namespace
