// A disk file's LOFF table: where each room it lists begins in the file.
#pragma once

#include <bitset>
#include <cstdint>
#include <vector>

struct ResourceFile;

struct RoomOffsetTable {
    uint8_t roomCount = 0;
    std::vector<uint32_t> roomOffsets;  // 256 entries by room number once read; 0 if unlisted
    std::bitset<256> listed;            // which rooms the LOFF block named

    // Reads the LOFF body from the file's current position.
    bool ReadLoff(ResourceFile& file);
};
