// A whole session only reads the game: every file the open game holds is open for reading
// only, and after browsing everything each file of the game's folder is as it was.
#include <fcntl.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "robust/browsed_game.h"

namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> FolderContents(const fs::path& folder) {
    std::map<std::string, std::string> contents;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        std::ifstream file(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        contents[entry.path().filename().string()] = bytes.str();
    }
    return contents;
}

// The access mode of each of this process's open files inside `folder`, by file name.
std::map<std::string, int> OpenFilesIn(const fs::path& folder) {
    std::map<std::string, int> modes;
    const fs::path canonical = fs::canonical(folder);
    for (const fs::directory_entry& fd : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const fs::path target = fs::read_symlink(fd.path(), error);
        if (error || target.parent_path() != canonical) continue;
        std::ifstream info("/proc/self/fdinfo/" + fd.path().filename().string());
        std::string key;
        int flags = -1;
        while (info >> key) {
            if (key == "flags:") info >> std::oct >> flags;
        }
        modes[target.filename().string()] = flags & O_ACCMODE;
    }
    return modes;
}

TEST_F(SessionTest, TheGameIsOpenForReadingOnlyAndLeftAsItWas) {
    TestGame game;
    game.Write(BrowsedGame());
    const auto before = FolderContents(game.dir.path);
    ASSERT_EQ(before.size(), 3u);  // the index file and two disks

    HeadlessOpen(game.IndexPath());
    ASSERT_NE(g_viewer, nullptr);
    const std::map<std::string, int> open = OpenFilesIn(game.dir.path);
    EXPECT_EQ(open, (std::map<std::string, int>{
                        {"GAME.LA0", O_RDONLY}, {"GAME.LA1", O_RDONLY}, {"GAME.LA2", O_RDONLY}}));
    for (int costume = 0; costume < 5; ++costume) {
        HeadlessPressKey(KEY_ADD);
        for (int frame = 0; frame < 3; ++frame) HeadlessPressKey(KEY_RIGHT);
        HeadlessPressKey(KEY_UP);
    }
    HeadlessClose();
    HeadlessStop();
    EXPECT_TRUE(OpenFilesIn(game.dir.path).empty());
    EXPECT_EQ(FolderContents(game.dir.path), before);
}

}  // namespace
