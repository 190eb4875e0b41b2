// Writes the blocks of the game files: a 4-byte tag and a big-endian size counting the whole
// block. The game writer, the costume builder and the tests that forge files all build their
// bytes with these and the number writers they bring along.
#pragma once

#include <cstdint>
#include <vector>

#include "common/byte_writer.h"

// A block header with any size, true or forged.
std::vector<uint8_t> MakeBlockHeader(const char (&tag)[5], uint32_t size);
// Appends a block whose size is its header plus `body`. The caller keeps the size within
// 32 bits; a larger one is cut.
void AppendBlock(std::vector<uint8_t>& bytes, const char (&tag)[5],
                 const std::vector<uint8_t>& body);
std::vector<uint8_t> MakeBlock(const char (&tag)[5], const std::vector<uint8_t>& body);
