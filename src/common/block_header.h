// The 8 bytes that open every block of the game files: a 4-byte tag in file order and a
// big-endian size that counts the whole block, these 8 bytes included.
#pragma once

#include <cstdint>
#include <cstring>

#include "common/byte_view.h"

struct BlockHeader {
    char tag[4] = {0, 0, 0, 0};
    uint32_t size = 0;

    static constexpr uint32_t kLength = 8;

    // Reads the header at `offset` of `bytes`; false when fewer than 8 bytes are there.
    bool Read(ByteView bytes, size_t offset) {
        ByteView header;
        if (!bytes.Sub(offset, kLength, &header)) return false;
        std::memcpy(tag, header.data, 4);
        return header.ReadU32BE(4, &size);
    }

    // Tags compare byte for byte, case-sensitively.
    bool Is(const char (&expected)[5]) const { return std::memcmp(tag, expected, 4) == 0; }
};
