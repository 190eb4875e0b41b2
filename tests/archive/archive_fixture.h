// Games on disk for the archive tests: written with the project's own writer into a fresh
// temporary directory, opened, and the messages they caused collected.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/game_archive.h"
#include "authoring/block_writer.h"
#include "authoring/game_writer.h"
#include "frontends/headless/headless_frontend.h"
#include "support/temp_dir.h"

struct GameFolder {
    TempDir dir;
    std::string baseName = "GAME";
    std::string directory = dir.WithSeparator();  // kept alive: the archive borrows it

    // A file named `name` in the folder holding `bytes`.
    void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::string error;
        ASSERT_TRUE(WriteBytes(dir.path / name, bytes, &error)) << error;
    }
    // Slot 0 to 9 of the game: GAME.LA0 to GAME.LA9.
    void WriteSlot(int slot, const std::vector<uint8_t>& bytes) {
        WriteFile(GameFileName(baseName, slot), bytes);
    }
    void WriteLayout(const GameLayout& layout) {
        std::string error;
        ASSERT_TRUE(WriteGame(dir.path, baseName, layout, &error)) << error;
    }
    std::string Path(const std::string& name) const { return (dir.path / name).string(); }
};

// An index file with only a DROO and a DCOS block.
inline std::vector<uint8_t> MakeIndex(const std::vector<uint8_t>& roomDisks,
                                      const std::vector<uint8_t>& costumeRooms,
                                      const std::vector<uint32_t>& costumeOffsets) {
    std::vector<uint8_t> index = MakeBlock("DROO", MakeDirectoryRecord(roomDisks, {}));
    AppendBytes(index, MakeBlock("DCOS", MakeDirectoryRecord(costumeRooms, costumeOffsets)));
    return index;
}

// Every test starts with no recorded messages.
class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override { g_headless.Clear(); }
    std::vector<std::string> Errors() { return g_headless.TakeErrors(); }
};

using Messages = std::vector<std::string>;
