// Writing a file through the seam: never over a game file nor under a name the game would
// take for one, whole or not at all, and a link at the destination replaced, not followed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "archive/game_archive.h"
#include "demo/demo_game.h"
#include "export/output_file.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string Contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

FileFiller Text(const std::string& text) {
    return [text](std::FILE* file, std::string*) {
        return std::fwrite(text.data(), 1, text.size(), file) == text.size();
    };
}

struct OutputFileTest : testing::Test {
    TempDir temp;
    std::string directory = (temp.path / "game" / "").string();  // borrowed by the archive
    std::string baseName = "DEMO";
    GameArchive archive{directory, baseName};
    ExportReport report;
    std::vector<std::string> said;

    void SetUp() override {
        std::string error;
        ASSERT_TRUE(WriteDemoGame(temp.path / "game", &error)) << error;
        ASSERT_TRUE(archive.Open());
        report.onMessage = [this](const ExportMessage& message) { said.push_back(message.Line()); };
        fs::create_directories(temp.path / "out");
        fs::create_symlink(temp.path / "game" / "DEMO.LA1", temp.path / "out" / "link.la1");
        fs::create_directory_symlink(temp.path / "game", temp.path / "alias");
    }
};

TEST_F(OutputFileTest, NoNameTheGameWouldReadIsWritten) {
    const std::string game = (temp.path / "game").string();
    const std::string out = (temp.path / "out").string();
    const std::pair<std::string, bool> cases[] = {
        {game + "/DEMO.LA1", true},        // a game file
        {out + "/link.la1", true},         // a link to one
        {game + "/demo.la2", true},        // not there yet, but the next open would take it
        {game + "/DEMO.LA9", true},        // any of the ten slots
        {(temp.path / "alias" / "Demo.La5").string(), true},  // through a linked folder
        {game + "/DEMO.LA", false},        // no slot
        {game + "/OTHER.LA1", false},      // another game's name
        {out + "/DEMO.LA1", false},        // the name, in another folder
        {game + "/costume-0001.gif", false},
    };
    for (const auto& [path, hides] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(HidesGameFile(archive, path), hides);
        const bool written = WriteOutputFile(archive, path, false, Text("x"), report);
        EXPECT_EQ(written, !hides);
        if (hides) {
            EXPECT_EQ(said.back(), "Error: Refusing to write over a game file: " + path);
        }
    }
    EXPECT_EQ(Contents(temp.path / "out" / "link.la1"), Contents(temp.path / "game" / "DEMO.LA1"));
    EXPECT_FALSE(fs::exists(temp.path / "game" / "demo.la2"));
}

TEST_F(OutputFileTest, AFileAppearsWholeOrNotAtAllAndALinkIsReplaced) {
    const fs::path out = temp.path / "out";
    {
        std::ofstream target(out / "target.txt");
        target << "old";
    }
    fs::create_symlink(out / "target.txt", out / "pointer.png");
    EXPECT_TRUE(WriteOutputFile(archive, (out / "pointer.png").string(), false, Text("new"), report));
    EXPECT_FALSE(fs::is_symlink(out / "pointer.png"));
    EXPECT_EQ(Contents(out / "pointer.png"), "new");
    EXPECT_EQ(Contents(out / "target.txt"), "old");

    const FileFiller failing = [](std::FILE* file, std::string* error) {
        std::fputs("half", file);
        *error = "the disk is full";
        return false;
    };
    EXPECT_FALSE(WriteOutputFile(archive, (out / "pointer.png").string(), false, failing, report));
    EXPECT_EQ(said.back(), "Error: Cannot write " + (out / "pointer.png").string() +
                               ": the disk is full");
    EXPECT_EQ(Contents(out / "pointer.png"), "new");  // the old file stays whole

    const std::string deep = (out / "a" / "b" / "c.json").string();
    EXPECT_FALSE(WriteOutputFile(archive, deep, false, Text("{}"), report));
    EXPECT_TRUE(WriteOutputFile(archive, deep, true, Text("{}"), report));
    EXPECT_EQ(Contents(deep), "{}");
    for (const auto& entry : fs::recursive_directory_iterator(out)) {
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();  // no temporary left
    }
}

// Makes the stream's later writes fail as on a full disk: its descriptor then leads to
// /dev/full.
void FillTheDisk(std::FILE* file) {
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    dup2(full, fileno(file));
    close(full);
}

TEST_F(OutputFileTest, AFailureOfOneFileGoesOnAndARefusingFolderOrDiskStopsAll) {
    const fs::path out = temp.path / "out";
    fs::create_directories(out / "taken.png");
    std::ofstream(out / "plain") << "a file";
    const FileFiller ownWords = [](std::FILE*, std::string* error) {
        *error = "Sheet too large.";
        return false;
    };
    const FileFiller fullWhileFilling = [](std::FILE* file, std::string* error) {
        FillTheDisk(file);
        std::fputs("half", file);
        std::fflush(file);
        *error = "Write Error";  // as libpng says it
        return false;
    };
    const FileFiller fullWhenFlushed = [](std::FILE* file, std::string*) {
        FillTheDisk(file);
        return std::fputs("all", file) >= 0;  // still in the stream's buffer
    };
    struct Case {
        std::string path;
        bool makeFolder;
        FileFiller fill;
        std::string said;
        bool stops;
    };
    const std::string at = out.string() + "/";
    const Case cases[] = {
        {at + "a.png", false, ownWords, "Cannot write " + at + "a.png: Sheet too large.", false},
        {at + "taken.png", false, Text("x"), "Cannot write " + at + "taken.png: Is a directory",
         false},
        {at + "missing/a.png", false, Text("x"),
         "Cannot write " + at + "missing/a.png: No such file or directory", false},
        {at + "b.png", false, fullWhileFilling,
         "Cannot write " + at + "b.png: No space left on device", true},
        {at + "c.png", false, fullWhenFlushed,
         "Cannot write " + at + "c.png: No space left on device", true},
        {at + "plain/d.png", true, Text("x"), "Cannot create " + at + "plain: Not a directory",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ExportReport fresh;
        std::vector<std::string> heard;
        fresh.onMessage = [&](const ExportMessage& message) { heard.push_back(message.text); };
        EXPECT_FALSE(WriteOutputFile(archive, c.path, c.makeFolder, c.fill, fresh));
        EXPECT_EQ(heard, std::vector<std::string>{c.said});
        EXPECT_EQ(fresh.stopped, c.stops);
        // Stopped, nothing more is written nor said; otherwise the next file is written.
        EXPECT_EQ(WriteOutputFile(archive, at + "next.png", false, Text("next"), fresh), !c.stops);
        EXPECT_EQ(WriteOutputFile(archive, (temp.path / "game" / "DEMO.LA1").string(), false,
                                  Text("x"), fresh),
                  false);
        EXPECT_EQ(heard.size(), c.stops ? 1u : 2u);
        fs::remove(out / "next.png");
    }
    for (const auto& entry : fs::directory_iterator(out)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "taken.png" || name == "plain" || name == "link.la1") << name;
    }
}

TEST(OutputPath, JoinsAndSplitsOnSlashes) {
    struct Case {
        std::string folder, name, joined, folderOf, nameOf;
    };
    const Case cases[] = {
        {"", "a.png", "a.png", "", "a.png"},
        {".", "a.png", "./a.png", ".", "a.png"},
        {"out", "a.png", "out/a.png", "out", "a.png"},
        {"out/", "a.png", "out/a.png", "out", "a.png"},
        {"/", "a.png", "/a.png", "/", "a.png"},
        {"x//y", "a.png", "x//y/a.png", "x//y", "a.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        EXPECT_EQ(JoinPath(c.folder, c.name), c.joined);
        EXPECT_EQ(FolderOf(c.joined), c.folderOf);
        EXPECT_EQ(NameOf(c.joined), c.nameOf);
    }
}

}  // namespace
