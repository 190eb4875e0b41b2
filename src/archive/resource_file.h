// One game file open for reading. Exact reads, 32-bit positions, and one message for each
// failure: "Failed to open file.", "Failed to read from a file.", "Failed to seek a file.",
// each reported with the file's path and the reason (ReportFileError) for a program to add.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct ResourceFile {
    static constexpr uint32_t kMaxPosition = 0x7FFFFFFF;  // positions are signed 32-bit
    static constexpr uint32_t kNoPosition = 0xFFFFFFFF;

    std::FILE* handle = nullptr;  // null while closed
    std::string path;             // as opened, for the messages
    uint32_t size = 0;            // set by a successful Open
    // Kept here rather than asked of the C library, whose positions are 32-bit on some
    // platforms; every read and seek keeps it equal to the stream's own position.
    uint64_t position = 0;

    ResourceFile() = default;
    ResourceFile(const ResourceFile&) = delete;
    ResourceFile& operator=(const ResourceFile&) = delete;
    ~ResourceFile() { Close(); }

    // Opens an existing file read-only. A file of 4 GiB or more is refused ("File too large.").
    bool Open(const std::string& name);
    void Close();
    bool IsOpen() const { return handle != nullptr; }

    // True only when all `count` bytes were read; a read of 0 bytes always succeeds.
    bool ReadExact(void* buffer, uint32_t count);
    // True when `count` bytes remain after the position. Otherwise reports the message a
    // short read would, so that no buffer is ever sized by a length the file cannot back.
    bool HasRemaining(uint32_t count);
    // Positions 0 to 2,147,483,647 can be reached; past the end is allowed, before the start not.
    bool SeekFromStart(uint32_t offset);
    bool SeekFromCurrent(int32_t distance);
    // The position, or 0xFFFFFFFF when it cannot be had (a later seek to it fails).
    uint32_t CurrentPosition();
};
