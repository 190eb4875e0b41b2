#include "archive/game_archive.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

#include "common/allocation.h"
#include "common/block_header.h"
#include "common/file_system.h"
#include "common/report_error.h"

namespace {

// Four bytes of a tag at up to four characters each, without allocating.
struct ShownTagText {
    char text[17];
};

// Blocks of the index file that are stepped over unread.
constexpr const char* kSkippedIndexTags[] = {"RNAM", "MAXS", "DSCR", "DSOU", "DCHR",
                                             "DOBJ", "AARY", "ANAM", "DRSC"};

bool IsSkippedIndexTag(const BlockHeader& header) {
    for (const char* tag : kSkippedIndexTags) {
        if (std::memcmp(header.tag, tag, 4) == 0) return true;
    }
    return false;
}

// The tag as a message may show it: a forged file must not put control bytes or broken
// characters on a terminal or into a message box, so only printable ASCII is shown as it
// is, every other byte (and the backslash, to keep it unambiguous) as \xNN.
ShownTagText ShownTag(const BlockHeader& header) {
    ShownTagText shown;
    char* out = shown.text;
    for (const char c : header.tag) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            *out++ = c;
        } else {
            std::snprintf(out, 5, "\\x%02X", byte);
            out += 4;
        }
    }
    *out = '\0';
    return shown;
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

// One listing of the folder serves all ten slots: the file each slot will open, if any.
void ListGameFiles(const std::string& folder, std::string_view baseName,
                   FolderFile (&chosen)[GameArchive::kSlotCount]) {
    for (FolderFile& file : ListFolder(folder)) {
        const std::optional<int> slot = GameFileSlot(file.name, baseName);
        if (!slot) continue;
        FolderFile& current = chosen[*slot];
        if (current.name.empty() || Preferred(file.name, current.name, baseName.size())) {
            current = std::move(file);
        }
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
    FolderFile chosen[kSlotCount];
    if (!TryAllocate([&] { ListGameFiles(std::string(directory), baseName, chosen); })) {
        return false;
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (chosen[slot].name.empty()) continue;
        paths[slot] = std::move(chosen[slot].path);
        if (!TryAllocate([&] { files[slot] = std::make_unique<ResourceFile>(); }) ||
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
            char message[48];
            std::snprintf(message, sizeof message, "Unknown block: %s", ShownTag(header).text);
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
