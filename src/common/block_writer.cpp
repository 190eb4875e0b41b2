#include "common/block_writer.h"

#include "common/block_header.h"

void AppendU16LE(std::vector<uint8_t>& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void AppendU32LE(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<uint8_t>(value >> shift));
}

void AppendU32BE(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<uint8_t>(value >> shift));
}

void AppendBytes(std::vector<uint8_t>& bytes, const std::vector<uint8_t>& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

std::vector<uint8_t> MakeBlockHeader(const char (&tag)[5], uint32_t size) {
    std::vector<uint8_t> bytes(tag, tag + 4);
    AppendU32BE(bytes, size);
    return bytes;
}

void AppendBlock(std::vector<uint8_t>& bytes, const char (&tag)[5],
                 const std::vector<uint8_t>& body) {
    bytes.insert(bytes.end(), tag, tag + 4);
    AppendU32BE(bytes, static_cast<uint32_t>(BlockHeader::kLength + body.size()));
    AppendBytes(bytes, body);
}

std::vector<uint8_t> MakeBlock(const char (&tag)[5], const std::vector<uint8_t>& body) {
    std::vector<uint8_t> bytes;
    bytes.reserve(BlockHeader::kLength + body.size());
    AppendBlock(bytes, tag, body);
    return bytes;
}
