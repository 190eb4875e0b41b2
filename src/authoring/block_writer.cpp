#include "authoring/block_writer.h"

#include "common/block_header.h"

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
