// Writes game files: blocks framed with big-endian sizes, DROO and DCOS records, disk files
// with LECF, LOFF and rooms, costume blocks at room offset plus costume offset. Serves the
// tests (which build their games in a temporary directory) and the demo game.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// One costume of a game: the room that holds it and its whole VERM block. An empty block
// writes the DCOS entry alone (offset 0). The block is written as given, so a test can
// place any bytes at a costume's position.
struct GameCostume {
    uint8_t room = 0;
    std::vector<uint8_t> block;
};

struct GameLayout {
    std::vector<uint8_t> roomDisks;     // DROO: room r lies on disk roomDisks[r]; 0 = no disk
    std::vector<GameCostume> costumes;  // DCOS: costume c; the viewer browses 1 to count - 1
    std::vector<uint8_t> absentDisks;   // disks whose file is not written
};

// Writes BASE.LA0 and every disk file BASE.LAd that a room names, into `directory`
// (created when missing). False with `error` set when a file cannot be written.
bool WriteGame(const std::filesystem::path& directory, const std::string& baseName,
               const GameLayout& layout, std::string* error);

// The building blocks, for tests that forge files the layout cannot describe (with the
// numbers and blocks of authoring/block_writer.h).

// The body of a DROO or DCOS block: the count, the number bytes, the little-endian offsets.
// `offsets` is padded with zeros or cut to the count of `numbers`.
std::vector<uint8_t> MakeDirectoryRecord(const std::vector<uint8_t>& numbers,
                                         std::vector<uint32_t> offsets);

struct LoffEntry {
    uint8_t room = 0;
    uint32_t offset = 0;  // from the start of the disk file
};

// A disk file: LECF and LOFF headers, the room list, then `contents`, which begins at
// DiskContentStart(rooms.size()). The LECF size counts the whole file.
std::vector<uint8_t> MakeDiskFile(const std::vector<LoffEntry>& rooms,
                                  const std::vector<uint8_t>& contents);
uint32_t DiskContentStart(size_t roomCount);

// The files WriteGame would write: the index file and disks 1 to 9 (empty when not written).
struct GameFiles {
    std::vector<uint8_t> index;
    std::vector<uint8_t> disks[10];
};
bool MakeGameFiles(const GameLayout& layout, GameFiles* files, std::string* error);

// The name of slot 0 to 9: BASE.LA0 to BASE.LA9.
std::string GameFileName(const std::string& baseName, int slot);
bool WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes,
                std::string* error);
