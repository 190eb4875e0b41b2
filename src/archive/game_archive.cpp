#include "archive/game_archive.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "common/allocation.h"
#include "common/block_header.h"
#include "common/report_error.h"

namespace {

// Blocks of the index file that are stepped over unread.
constexpr const char* kSkippedIndexTags[] = {"RNAM", "MAXS", "DSCR", "DSOU", "DCHR",
                                             "DOBJ", "AARY", "ANAM", "DRSC"};

bool IsSkippedIndexTag(const BlockHeader& header) {
    for (const char* tag : kSkippedIndexTags) {
        if (std::memcmp(header.tag, tag, 4) == 0) return true;
    }
    return false;
}

bool ReadHeader(ResourceFile& file, BlockHeader* header) {
    uint8_t bytes[BlockHeader::kLength];
    if (!file.ReadExact(bytes, sizeof bytes)) return false;
    return header->Read(ByteView{bytes, sizeof bytes}, 0);
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

// Among names that differ only in case: the upper-case extension first, then byte order.
bool Preferred(const std::string& candidate, const std::string& current, size_t baseLength) {
    const bool candidateUpper = candidate.compare(baseLength, 3, ".LA") == 0;
    const bool currentUpper = current.compare(baseLength, 3, ".LA") == 0;
    if (candidateUpper != currentUpper) return candidateUpper;
    return candidate < current;
}

// One listing of the folder serves all ten slots: the name each slot will open, or empty.
// Only regular files count; a folder listing that fails finds nothing.
void ListGameFiles(const std::filesystem::path& folder, std::string_view baseName,
                   std::string (&names)[GameArchive::kSlotCount]) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        std::string name;
        try {
            name = it->path().filename().string();
        } catch (const std::system_error&) {
            continue;  // a name the narrow character set cannot spell is not ours
        }
        const std::optional<int> slot = GameFileSlot(name, baseName);
        if (!slot) continue;
        std::string& chosen = names[*slot];
        if (chosen.empty() || Preferred(name, chosen, baseName.size())) chosen = name;
    }
}

}  // namespace

std::optional<int> GameFileSlot(std::string_view name, std::string_view baseName) {
    constexpr std::string_view kStem = ".LA";
    if (name.size() != baseName.size() + kStem.size() + 1) return std::nullopt;
    const char digit = name.back();
    if (digit < '0' || digit > '9') return std::nullopt;
    if (!EqualsIgnoringCase(name.substr(0, baseName.size()), baseName) ||
        !EqualsIgnoringCase(name.substr(baseName.size(), kStem.size()), kStem)) {
        return std::nullopt;
    }
    return digit - '0';
}

GameArchive::GameArchive(std::string_view directory_, std::string_view baseName_)
    : directory(directory_), baseName(baseName_) {}

bool GameArchive::Open() {
    if (!FindFiles()) return false;
    for (const auto& file : files) {
        if (file) return true;
    }
    ReportError("No SCUMM disks found.");
    return false;
}

bool GameArchive::FindFiles() {
    std::filesystem::path folder;
    std::string names[kSlotCount];
    if (!TryAllocate([&] {
            folder =
                directory.empty() ? std::filesystem::path(".") : std::filesystem::path(directory);
            ListGameFiles(folder, baseName, names);
        })) {
        return false;
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (names[slot].empty()) continue;
        if (!TryAllocate([&] {
                paths[slot] = (folder / names[slot]).string();
                files[slot] = std::make_unique<ResourceFile>();
            }) ||
            !files[slot]->Open(paths[slot])) {
            return false;
        }
        if (slot == 0) {
            if (!ScanIndex()) return false;
            continue;
        }
        if (!TryAllocate([&] { roomTables[slot] = std::make_unique<RoomOffsetTable>(); }) ||
            !ReadDiskHeader(*roomTables[slot], *files[slot])) {
            return false;
        }
    }
    return true;
}

bool GameArchive::ScanIndex() {
    ResourceFile& file = *files[0];
    // 64 bits, so that a forged size can only move forward and never wraps around.
    uint64_t total = 0;
    for (;;) {
        BlockHeader header;
        if (!ReadHeader(file, &header)) return false;
        const bool rooms = header.Is("DROO");
        const bool costumes = header.Is("DCOS");
        if (!rooms && !costumes && !IsSkippedIndexTag(header)) {
            char message[32];
            std::snprintf(message, sizeof message, "Unknown block: %c%c%c%c", header.tag[0],
                          header.tag[1], header.tag[2], header.tag[3]);
            ReportError(message);
            return false;
        }
        if (header.size < BlockHeader::kLength) {
            ReportError("Invalid block size.");
            return false;
        }
        if (rooms || costumes) {
            const uint32_t bodyLength = header.size - BlockHeader::kLength;
            std::vector<uint8_t> body;
            if (!file.HasRemaining(bodyLength) || !TryResize(body, bodyLength) ||
                !file.ReadExact(body.data(), bodyLength)) {
                return false;
            }
            ResourceDirectory& target = rooms ? roomDirectory : costumeDirectory;
            if (!target.ReadRecord(ByteView{body.data(), body.size()})) return false;
        }
        total += header.size;
        if (total >= file.size) return true;
        if (!file.SeekFromStart(static_cast<uint32_t>(total))) return false;
    }
}

bool GameArchive::ReadDiskHeader(RoomOffsetTable& table, ResourceFile& file) {
    BlockHeader header;
    if (!ReadHeader(file, &header)) return false;
    if (!header.Is("LECF")) {
        ReportError("Invalid SCUMM disk found.");
        return false;
    }
    if (!ReadHeader(file, &header)) return false;
    if (!header.Is("LOFF")) {
        ReportError("Invalid SCUMM disk found.");
        return false;
    }
    return table.ReadLoff(file);
}

CostumeLoadResult GameArchive::LoadCostume(std::vector<uint8_t>* block, uint32_t costume) {
    block->clear();
    // The caller checks the number; checked again so that no entry is read out of range.
    if (costume >= costumeDirectory.count) {
        ReportError("Costume out of range.");
        return CostumeLoadResult::Failed;
    }
    const uint8_t room = costumeDirectory.numbers[costume];
    if (room >= roomDirectory.count) {
        ReportError("Invalid room.");
        return CostumeLoadResult::Failed;
    }
    const uint8_t disk = roomDirectory.numbers[room];
    if (disk == 0) return CostumeLoadResult::NotPresent;
    if (disk >= kSlotCount) {
        ReportError("Invalid disk.");
        return CostumeLoadResult::Failed;
    }
    if (!files[disk] || !roomTables[disk]) return CostumeLoadResult::NotPresent;
    ResourceFile& file = *files[disk];
    const RoomOffsetTable& table = *roomTables[disk];
    if (!table.listed[room]) {
        ReportError("Room not found on disk.");
        return CostumeLoadResult::Failed;
    }
    BlockHeader header;
    if (!file.SeekFromStart(table.roomOffsets[room]) ||
        !file.SeekFromCurrent(static_cast<int32_t>(costumeDirectory.offsets[costume])) ||
        !ReadHeader(file, &header)) {
        return CostumeLoadResult::Failed;
    }
    if (!header.Is("VERM")) {
        ReportError("VERM not found.");
        return CostumeLoadResult::Failed;
    }
    if (header.size < BlockHeader::kLength) {
        ReportError("Invalid VERM block header.");
        return CostumeLoadResult::Failed;
    }
    if (!file.HasRemaining(header.size - BlockHeader::kLength) ||
        !file.SeekFromCurrent(-static_cast<int32_t>(BlockHeader::kLength)) ||
        !TryResize(*block, header.size) || !file.ReadExact(block->data(), header.size)) {
        block->clear();
        return CostumeLoadResult::Failed;
    }
    return CostumeLoadResult::Loaded;
}

void GameArchive::Destroy() {
    costumeDirectory.Clear();
    roomDirectory.Clear();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        roomTables[slot].reset();
        if (files[slot]) files[slot]->Close();
        files[slot].reset();
        paths[slot].clear();
    }
}
