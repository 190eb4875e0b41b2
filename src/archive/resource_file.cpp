#include "archive/resource_file.h"

#include <filesystem>
#include <system_error>

#include "common/allocation.h"
#include "common/report_error.h"

namespace {

constexpr uint64_t kSizeLimit = uint64_t{1} << 32;

// The one place a position is set, so that the 32-bit limit holds for both kinds of seek.
bool SeekTo(ResourceFile& file, int64_t target) {
    if (target < 0 || target > ResourceFile::kMaxPosition ||
        std::fseek(file.handle, static_cast<long>(target), SEEK_SET) != 0) {
        ReportError("Failed to seek a file.");
        return false;
    }
    file.position = static_cast<uint64_t>(target);
    return true;
}

}  // namespace

bool ResourceFile::Open(const std::string& path) {
    Close();
    std::filesystem::path name;
    if (!TryAllocate([&] { name = path; })) return false;
    // Only regular files: a folder would open on some systems and fail on the first read.
    std::error_code error;
    if (!std::filesystem::is_regular_file(name, error)) {
        ReportError("Failed to open file.");
        return false;
    }
    handle = std::fopen(path.c_str(), "rb");
    if (handle == nullptr) {
        ReportError("Failed to open file.");
        return false;
    }
    const uintmax_t length = std::filesystem::file_size(name, error);
    if (error) {
        Close();
        ReportError("Failed to open file.");
        return false;
    }
    // Only the low 32 bits of a larger size could be kept, and the scan would believe them.
    if (length >= kSizeLimit) {
        Close();
        ReportError("File too large.");
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
        ReportError("Failed to read from a file.");
        return false;
    }
    return true;
}

bool ResourceFile::HasRemaining(uint32_t count) {
    if (position <= size && count <= size - position) return true;
    ReportError("Failed to read from a file.");
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
