// The game a job reads: its index file turned into a folder and a base name as the Open
// command does, its archive, and the costumes loaded from it one at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "archive/game_archive.h"
#include "costume/loaded_costume.h"
#include "export/export_report.h"

// A disk file that rooms of the room directory lie on but that is not beside the index file.
struct MissingDisk {
    int slot = 0;
    std::string file;                // the name looked for: the base name and ".LA<slot>"
    std::vector<uint32_t> costumes;  // those from 1 on whose rooms lie on it

    // "G.LA1 is missing, so costumes 1-7 are not present."
    std::string Note() const;
};

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

    // False, with the archive's message reported about the index file (and why it cannot be
    // read, when it cannot) or about the file that failed, when the game cannot be opened.
    bool Open(const std::string& indexFile, ExportReport& report);
    uint32_t CostumeCount() const { return archive->costumeDirectory.count; }
    // The costume's room, and the disk of that room when the room directory has it.
    uint8_t RoomOf(uint32_t costume) const { return archive->costumeDirectory.numbers[costume]; }
    std::optional<uint8_t> DiskOf(uint32_t costume) const;
    std::vector<MissingDisk> MissingDisks() const;
    // The costume's room lies on a disk file that is not there.
    bool OnMissingDisk(uint32_t costume) const;
};

// Notes each missing disk that holds a costume `asked` takes (a disk without costumes when it
// takes 0), once, before the costumes are gone through.
void NoteMissingDisks(const ExportGame& game, ExportReport& report,
                      const std::function<bool(uint32_t)>& asked);

// "1-7, 9, 12-14": ascending numbers with their runs joined.
std::string NumberList(const std::vector<uint32_t>& numbers);

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
