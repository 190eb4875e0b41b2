#include "authoring/game_writer.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "authoring/block_writer.h"

namespace {

constexpr int kSlotCount = 10;
constexpr uint32_t kHeaderLength = 8;
constexpr uint32_t kLoffEntryLength = 5;
constexpr uint64_t kMaxFileSize = 0xFFFFFFFF;

bool IsWritten(const GameLayout& layout, uint8_t disk) {
    return disk >= 1 && disk < kSlotCount &&
           std::find(layout.absentDisks.begin(), layout.absentDisks.end(), disk) ==
               layout.absentDisks.end();
}

// Lays out one disk: each room it holds is a ROOM block whose body carries the room's
// costume blocks, and each costume's offset is counted from the start of its room.
bool MakeDisk(const GameLayout& layout, uint8_t disk, std::vector<uint8_t>* bytes,
              std::vector<uint32_t>* costumeOffsets, std::string* error) {
    std::vector<uint8_t> rooms;
    for (size_t room = 0; room < layout.roomDisks.size(); ++room) {
        if (layout.roomDisks[room] != disk) continue;
        if (room > 255) {
            *error = "room " + std::to_string(room) + " cannot be listed in a LOFF block";
            return false;
        }
        rooms.push_back(static_cast<uint8_t>(room));
    }
    if (rooms.size() > 255) {
        *error = "disk " + std::to_string(disk) + " holds more than 255 rooms";
        return false;
    }
    std::vector<LoffEntry> loff;
    std::vector<uint8_t> contents;
    const uint64_t start = DiskContentStart(rooms.size());
    for (uint8_t room : rooms) {
        loff.push_back({room, static_cast<uint32_t>(start + contents.size())});
        std::vector<uint8_t> body;
        for (size_t c = 0; c < layout.costumes.size(); ++c) {
            const GameCostume& costume = layout.costumes[c];
            if (costume.room != room || costume.block.empty()) continue;
            (*costumeOffsets)[c] = static_cast<uint32_t>(kHeaderLength + body.size());
            AppendBytes(body, costume.block);
        }
        AppendBytes(contents, MakeBlock("ROOM", body));
        if (start + contents.size() > kMaxFileSize) {
            *error = "disk " + std::to_string(disk) + " would reach 4 GiB";
            return false;
        }
    }
    *bytes = MakeDiskFile(loff, contents);
    return true;
}

}  // namespace

std::vector<uint8_t> MakeDirectoryRecord(const std::vector<uint8_t>& numbers,
                                         std::vector<uint32_t> offsets) {
    offsets.resize(numbers.size());
    std::vector<uint8_t> bytes;
    // Sized at once: growing it step by step makes the cross compiler (GCC 12) see an
    // overread in the copy of the numbers that is not there, and -Werror stops the build.
    bytes.reserve(4 + numbers.size() + 4 * offsets.size());
    AppendU32LE(bytes, static_cast<uint32_t>(numbers.size()));
    AppendBytes(bytes, numbers);
    for (uint32_t offset : offsets) AppendU32LE(bytes, offset);
    return bytes;
}

uint32_t DiskContentStart(size_t roomCount) {
    return static_cast<uint32_t>(2 * kHeaderLength + 1 + kLoffEntryLength * roomCount);
}

std::vector<uint8_t> MakeDiskFile(const std::vector<LoffEntry>& rooms,
                                  const std::vector<uint8_t>& contents) {
    std::vector<uint8_t> loffBody{static_cast<uint8_t>(rooms.size())};
    for (const LoffEntry& entry : rooms) {
        loffBody.push_back(entry.room);
        AppendU32LE(loffBody, entry.offset);
    }
    const std::vector<uint8_t> loff = MakeBlock("LOFF", loffBody);
    std::vector<uint8_t> bytes = MakeBlockHeader(
        "LECF", static_cast<uint32_t>(kHeaderLength + loff.size() + contents.size()));
    AppendBytes(bytes, loff);
    AppendBytes(bytes, contents);
    return bytes;
}

bool MakeGameFiles(const GameLayout& layout, GameFiles* files, std::string* error) {
    std::vector<uint32_t> costumeOffsets(layout.costumes.size(), 0);
    for (int disk = 0; disk < kSlotCount; ++disk) {
        files->disks[disk].clear();
        const bool named = std::find(layout.roomDisks.begin(), layout.roomDisks.end(), disk) !=
                           layout.roomDisks.end();
        if (!named || !IsWritten(layout, static_cast<uint8_t>(disk))) continue;
        if (!MakeDisk(layout, static_cast<uint8_t>(disk), &files->disks[disk], &costumeOffsets,
                      error)) {
            return false;
        }
    }
    std::vector<uint8_t> costumeRooms;
    for (const GameCostume& costume : layout.costumes) costumeRooms.push_back(costume.room);
    files->index = MakeBlock("MAXS", std::vector<uint8_t>(16, 0));
    AppendBytes(files->index, MakeBlock("DROO", MakeDirectoryRecord(layout.roomDisks, {})));
    AppendBytes(files->index, MakeBlock("DCOS", MakeDirectoryRecord(costumeRooms, costumeOffsets)));
    return true;
}

std::string GameFileName(const std::string& baseName, int slot) {
    return baseName + ".LA" + static_cast<char>('0' + slot);
}

namespace {

// A path in a message, as UTF-8 on every system: on Windows its plain string() would be in
// the ANSI code page, and throw for a name that code page cannot spell.
std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

bool WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes,
                std::string* error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        *error = "cannot write " + Utf8(path);
        return false;
    }
    return true;
}

bool WriteGame(const std::filesystem::path& directory, const std::string& baseName,
               const GameLayout& layout, std::string* error) {
    GameFiles files;
    if (!MakeGameFiles(layout, &files, error)) return false;
    std::error_code created;
    std::filesystem::create_directories(directory, created);
    if (created) {
        *error = "cannot create " + Utf8(directory) + ": " + created.message();
        return false;
    }
    if (!WriteBytes(directory / GameFileName(baseName, 0), files.index, error)) return false;
    for (int disk = 1; disk < kSlotCount; ++disk) {
        if (files.disks[disk].empty()) continue;
        if (!WriteBytes(directory / GameFileName(baseName, disk), files.disks[disk], error)) {
            return false;
        }
    }
    return true;
}
