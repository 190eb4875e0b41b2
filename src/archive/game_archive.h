// One game's files: the index file (slot 0, ".LA0") and up to nine disk files (".LA1" to
// ".LA9"), all with one base name in one directory. Finds and opens them, reads the room
// and costume directories and each disk's room offsets, and hands out costume blocks.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/resource_directory.h"
#include "archive/resource_file.h"
#include "archive/room_offset_table.h"

enum class CostumeLoadResult { Failed = 0, NotPresent = 1, Loaded = 2 };

// The slot a file name belongs to: the base name, then ".LA" and one digit, letter case
// ignored. The extension is always appended, so "A.B" looks for "A.B.LA0".
std::optional<int> GameFileSlot(std::string_view name, std::string_view baseName);

struct GameArchive {
    static constexpr int kSlotCount = 10;

    std::unique_ptr<ResourceFile> files[kSlotCount];
    std::unique_ptr<RoomOffsetTable> roomTables[kSlotCount];  // slot 0 always empty
    std::string paths[kSlotCount];  // the path each present slot was opened from
    std::string_view directory;     // borrowed from the owner, with its trailing separator
    std::string_view baseName;      // borrowed: the files' common name without extension
    ResourceDirectory roomDirectory;
    ResourceDirectory costumeDirectory;

    GameArchive(std::string_view directory, std::string_view baseName);
    GameArchive(const GameArchive&) = delete;
    GameArchive& operator=(const GameArchive&) = delete;
    ~GameArchive() { Destroy(); }

    bool Open();
    // Costume numbers below costumeDirectory.count only. On Loaded, `block` holds the whole
    // VERM block, header included; otherwise it is left empty.
    CostumeLoadResult LoadCostume(std::vector<uint8_t>* block, uint32_t costume);
    // Closes every file and frees every table; the constructed state again. Repeats harmlessly.
    void Destroy();

    bool FindFiles();
    bool ScanIndex();
    bool ReadDiskHeader(RoomOffsetTable& table, ResourceFile& file);
};
