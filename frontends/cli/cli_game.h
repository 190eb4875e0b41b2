// The game named on the command line: its index file turned into a directory and a base
// name as the Open command does, its archive, and the costumes loaded from it one at a time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/frontend.h"
#include "archive/game_archive.h"
#include "costume/costume.h"
#include "display/indexed_image.h"

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

// One costume read from the game and parsed. The costume points into the block.
struct LoadedCostume {
    CostumeLoadResult result = CostumeLoadResult::Failed;
    std::vector<uint8_t> block;
    std::unique_ptr<Costume> costume;  // present when loaded and parsed

    LoadedCostume() = default;
    LoadedCostume(const LoadedCostume&) = delete;
    LoadedCostume& operator=(const LoadedCostume&) = delete;

    // `costume` must be below the costume count. A block that does not parse is Failed.
    void Load(GameArchive& archive, uint32_t number);
    bool Loaded() const { return costume != nullptr; }
};

// Renders frame `frame` of a loaded costume at (0, 0); false when it cannot be selected or
// rendered, with the cause reported.
bool RenderFrame(Costume& costume, uint16_t frame, IndexedImage* image);

// The viewer's own texts, so that the tool says what the window would.
std::string NotPresentMessage(uint32_t costume);
