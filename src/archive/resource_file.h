// One game file open for reading. Exact reads, 32-bit positions, and one message for each
// failure: "Failed to open file.", "Failed to read from a file.", "Failed to seek a file.".
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct ResourceFile {
    std::FILE* handle = nullptr;  // null while closed
    uint32_t size = 0;            // set by a successful Open

    ResourceFile() = default;
    ResourceFile(const ResourceFile&) = delete;
    ResourceFile& operator=(const ResourceFile&) = delete;
    ~ResourceFile() { Close(); }

    // Opens an existing file read-only. A file of 4 GiB or more is refused ("File too large.").
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return handle != nullptr; }

    // True only when all `count` bytes were read; a read of 0 bytes always succeeds.
    bool ReadExact(void* buffer, uint32_t count);
    // Positions 0 to 2,147,483,647 can be reached; past the end is allowed, before the start not.
    bool SeekFromStart(uint32_t offset);
    bool SeekFromCurrent(int32_t distance);
    // The position, or 0xFFFFFFFF when it cannot be had (a later seek to it fails).
    uint32_t CurrentPosition();
};
