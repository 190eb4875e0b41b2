// The game a job reads: its index file turned into a folder and a base name as the Open
// command does, its archive, and the costumes loaded from it one at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "archive/game_archive.h"
#include "costume/loaded_costume.h"
#include "export/export_report.h"

struct ExportGame {
    std::string directory;  // the archive borrows these two: released after it
    std::string baseName;
    std::unique_ptr<GameArchive> archive;
    // The archive's files are shared, each with one reading position: costumes are read one at
    // a time (ExportCostume::Load). All else the archive holds is only read once it is open.
    std::mutex reading;

    ExportGame() = default;
    ExportGame(const ExportGame&) = delete;
    ExportGame& operator=(const ExportGame&) = delete;

    // False, with the archive's message reported about the index file, when the game
    // cannot be opened.
    bool Open(const std::string& indexFile, ExportReport& report);
    uint32_t CostumeCount() const { return archive->costumeDirectory.count; }
    // The costume's room, and the disk of that room when the room directory has it.
    uint8_t RoomOf(uint32_t costume) const { return archive->costumeDirectory.numbers[costume]; }
    std::optional<uint8_t> DiskOf(uint32_t costume) const;
};

// Costume `number` loaded, or why not, with the report's subject set to it: the costume,
// its outcome as LoadResultName says it, and for a costume not loaded the reason (the
// not-present text, or the messages reported while it failed).
struct ExportCostume {
    uint32_t number = 0;
    LoadedCostume loaded;
    CostumeLoadResult result = CostumeLoadResult::Failed;
    std::string whyNot;

    void Load(ExportGame& game, uint32_t costume, ExportReport& report);
};

// The costumes a listing or a page shows: the viewer browses 1 to count - 1, never 0.
inline uint32_t ListedCount(uint32_t costumeCount) {
    return costumeCount > 0 ? costumeCount - 1 : 0;
}

// Messages joined by spaces, as a listing or a page shows several on one line.
std::string JoinMessages(const std::vector<std::string>& messages);
