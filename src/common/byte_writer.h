// Appends numbers to a growing buffer of bytes, least significant byte first unless the name
// says BE. Every writer of file bytes (blocks, games, costumes, codec 5 rows, the Windows
// icon, the tests that forge files) writes its numbers through these.
#pragma once

#include <cstdint>
#include <vector>

inline void AppendU16LE(std::vector<uint8_t>& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

inline void AppendU32LE(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<uint8_t>(value >> shift));
}

// Block sizes are the one big-endian number of the game files.
inline void AppendU32BE(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<uint8_t>(value >> shift));
}

inline void AppendBytes(std::vector<uint8_t>& bytes, const std::vector<uint8_t>& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}
