// The game named on the command line: its index file turned into a directory and a base
// name as the Open command does, its archive, and the costumes loaded from it one at a time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/game_archive.h"
#include "costume/costume.h"
#include "costume/loaded_costume.h"
#include "display/indexed_image.h"
#include "viewer/viewer_texts.h"

// The path made absolute, as an open dialog reports a chosen file.
std::string AbsolutePath(const std::string& path);

struct CliGame {
    std::string directory;  // the archive borrows these two: released after it
    std::string baseName;
    std::unique_ptr<GameArchive> archive;

    CliGame() = default;
    CliGame(const CliGame&) = delete;
    CliGame& operator=(const CliGame&) = delete;

    // False, with the archive's message printed, when the game cannot be opened.
    bool Open(const std::string& indexFile);
    uint32_t CostumeCount() const { return archive->costumeDirectory.count; }
    // The costume's room, and the disk of that room when the room directory has it.
    uint8_t RoomOf(uint32_t costume) const { return archive->costumeDirectory.numbers[costume]; }
    std::optional<uint8_t> DiskOf(uint32_t costume) const;
};

// The viewer's own text, so that the tool says what the window would.
inline std::string NotPresentMessage(uint32_t costume) {
    return NotPresentText(costume).text;
}
