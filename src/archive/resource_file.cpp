#include "archive/resource_file.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "common/allocation.h"
#include "common/file_system.h"
#include "common/report_error.h"

namespace {

constexpr uint64_t kSizeLimit = uint64_t{1} << 32;

// The message, with the file and `reason` for the program to add. Were there no memory left
// to spell them, the message alone.
template <typename Reason>
void ReportAbout(const ResourceFile& file, const char* text, Reason reason) {
    FileErrorDetail detail;
    try {
        detail = {file.path, reason()};
    } catch (const std::bad_alloc&) {
        ReportError(text);
        return;
    }
    ReportFileError(text, detail);
}

// Why a read came short: the system's error, or the file's end.
void ReportShortRead(const ResourceFile& file, bool systemError, int code) {
    ReportAbout(file, "Failed to read from a file.", [&] {
        if (systemError) return std::string(std::strerror(code));
        return "it is only " + std::to_string(file.size) + " bytes long";
    });
}

// The one place a position is set, so that the 32-bit limit holds for both kinds of seek.
bool SeekTo(ResourceFile& file, int64_t target) {
    if (target < 0 || target > ResourceFile::kMaxPosition ||
        std::fseek(file.handle, static_cast<long>(target), SEEK_SET) != 0) {
        ReportAbout(file, "Failed to seek a file.", [&] {
            return target < 0 ? std::string("a position before its start")
                              : "position " + std::to_string(target) + " is out of reach";
        });
        return false;
    }
    file.position = static_cast<uint64_t>(target);
    return true;
}

}  // namespace

bool ResourceFile::Open(const std::string& name) {
    Close();
    uint64_t length = 0;
    std::string reason;
    if (!TryAllocate([&] {
            path = name;
            handle = OpenForReading(path, &length, &reason);
        })) {
        return false;
    }
    if (handle == nullptr) {
        ReportAbout(*this, "Failed to open file.", [&] { return reason; });
        return false;
    }
    // Only the low 32 bits of a larger size could be kept, and the scan would believe them.
    if (length >= kSizeLimit) {
        Close();
        ReportAbout(*this, "File too large.",
                    [&] { return std::to_string(length) + " bytes, 4 GiB or more"; });
        return false;
    }
    size = static_cast<uint32_t>(length);
    position = 0;
    return true;
}

void ResourceFile::Close() {
    if (handle == nullptr) return;
    std::fclose(handle);
    handle = nullptr;
}

bool ResourceFile::ReadExact(void* buffer, uint32_t count) {
    if (count == 0) return true;
    const size_t delivered = std::fread(buffer, 1, count, handle);
    position += delivered;
    if (delivered != count) {
        ReportShortRead(*this, std::ferror(handle) != 0, errno);
        return false;
    }
    return true;
}

bool ResourceFile::HasRemaining(uint32_t count) {
    if (position <= size && count <= size - position) return true;
    ReportShortRead(*this, false, 0);
    return false;
}

bool ResourceFile::SeekFromStart(uint32_t offset) {
    return SeekTo(*this, offset);
}

bool ResourceFile::SeekFromCurrent(int32_t distance) {
    return SeekTo(*this, static_cast<int64_t>(position) + distance);
}

uint32_t ResourceFile::CurrentPosition() {
    if (handle == nullptr || position >= kSizeLimit) return kNoPosition;
    return static_cast<uint32_t>(position);
}
