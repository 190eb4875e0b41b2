// Writes game files: blocks framed with big-endian sizes, DROO and DCOS records, disk files
// with LECF, LOFF and rooms, costume blocks at room offset plus costume offset. Serves the
// tests (which build their games in a temporary directory) and the demo game.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// One costume of a game: the room that holds it and its whole VERM block. An empty block
// writes the DCOS entry alone (offset 0).
struct GameCostume {
    uint8_t room = 0;
    std::vector<uint8_t> block;
};

struct GameLayout {
    std::vector<uint8_t> roomDisks;      // DROO: room r lies on disk roomDisks[r]; 0 = no disk
    std::vector<GameCostume> costumes;   // DCOS: costume c; the viewer browses 1 to count - 1
    std::vector<uint8_t> absentDisks;    // disks whose file is not written
};

// Writes BASE.LA0 and every disk file BASE.LAd that a room names, into `directory`
// (created when missing). False with `error` set when a file cannot be written.
bool WriteGame(const std::filesystem::path& directory, const std::string& baseName,
               const GameLayout& layout, std::string* error);
