// The standard library's file access, for every build but the Windows ones: paths are bytes.
#include "common/file_system.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

void SayWhy(std::string* reason, int code) {
    if (reason == nullptr) return;
    if (code == ENOENT || code == ENOTDIR) {
        *reason = kNoSuchFile;
    } else if (code == EACCES || code == EPERM) {
        *reason = kPermissionDenied;
    } else if (code == EISDIR) {
        *reason = kAFolder;
    } else {
        *reason = std::strerror(code);
    }
}

}  // namespace

std::vector<FolderFile> ListFolder(const std::string& folder) {
    const std::filesystem::path where = folder.empty() ? "." : folder;
    std::vector<FolderFile> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(where, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        try {
            files.push_back({it->path().filename().string(), it->path().string()});
        } catch (const std::system_error&) {
            continue;  // a name the narrow character set cannot spell
        }
    }
    return files;
}

std::FILE* OpenForReading(const std::string& path, uint64_t* size, std::string* reason) {
    const std::filesystem::path name = path;  // the one allocation, before the file is open
    // Only regular files: a folder would open on some systems and fail on the first read.
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(name, error);
    if (error) {
        SayWhy(reason, error.value());
        return nullptr;
    }
    if (status.type() == std::filesystem::file_type::not_found) {
        SayWhy(reason, ENOENT);
        return nullptr;
    }
    if (status.type() == std::filesystem::file_type::directory) {
        SayWhy(reason, EISDIR);
        return nullptr;
    }
    if (status.type() != std::filesystem::file_type::regular) {
        if (reason != nullptr) *reason = "not a regular file";
        return nullptr;
    }
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (stream == nullptr) {
        SayWhy(reason, errno);
        return nullptr;
    }
    *size = std::filesystem::file_size(name, error);
    if (error) {
        std::fclose(stream);
        SayWhy(reason, error.value());
        return nullptr;
    }
    return stream;
}
