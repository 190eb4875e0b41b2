// The tool only ever reads a game: after each command every file of the game's folder holds
// the bytes it held before, and no file has come or gone there, even when an output name
// leads to a game file through a link.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cli/tool_run.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Every entry of a folder with what it holds (a link: where it leads).
std::map<std::string, std::string> FolderContents(const fs::path& folder) {
    std::map<std::string, std::string> contents;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        contents[entry.path().filename().string()] =
            entry.is_symlink() ? "link to " + fs::read_symlink(entry.path()).string()
                               : ReadFileText(entry.path());
    }
    return contents;
}

TEST(ReadOnly, NoCommandChangesTheGamesFolder) {
    TempDir temp;
    const fs::path game = temp.path / "game";
    const fs::path out = temp.path / "out";
    const fs::path links = temp.path / "links";
    ASSERT_EQ(RunTool({"make-demo", game.string()}, temp.path).exitCode, 0);
    const std::string index = (game / "DEMO.LA0").string();
    // Outputs named as the tool names them, each a link to one of the game's files.
    fs::create_directories(links);
    fs::create_symlink(game / "DEMO.LA1", links / "costume-0001-frame-001.png");
    fs::create_symlink(game / "DEMO.LA2", links / "costume-0001-sheet.png");
    fs::create_symlink(game / "DEMO.LA1", links / "costume-0001-sheet.json");
    fs::create_symlink(game / "DEMO.LA0", links / "screen.png");
    fs::create_symlink(game / "DEMO.LA0", links / "index.html");
    fs::create_symlink(game / "DEMO.LA2", links / "costume-0001.gif");
    const auto before = FolderContents(game);
    ASSERT_EQ(before.size(), 3u);

    const std::vector<std::vector<std::string>> commands = {
        {"info", index},
        {"info", index, "--json"},
        {"export", index, "--out", out.string()},
        {"export", index, "--sheet", "--transparent", "0", "--out", out.string()},
        {"screen", index, "--costume", "14", "--zoom", "--out", (out / "screen.png").string()},
        {"export", index, "--costume", "1", "--out", links.string()},
        {"export", index, "--costume", "1", "--sheet", "--out", links.string()},
        {"screen", index, "--costume", "1", "--out", (links / "screen.png").string()},
        {"screen", index, "--costume", "1", "--out", index},
        {"gallery", index, "--out", (out / "gallery").string()},
        {"gallery", index, "--out", links.string()},
    };
    for (const std::vector<std::string>& command : commands) {
        std::string line;
        for (const std::string& argument : command) line += argument + " ";
        SCOPED_TRACE(line);
        RunTool(command, temp.path);
        EXPECT_EQ(FolderContents(game), before);
    }
    // The commands did their work elsewhere.
    EXPECT_TRUE(fs::exists(out / "costume-0014-sheet.png"));
    EXPECT_TRUE(fs::exists(out / "screen.png"));
    EXPECT_TRUE(fs::exists(out / "gallery" / "index.html"));
}

}  // namespace
