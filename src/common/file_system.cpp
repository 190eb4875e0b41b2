// The standard library's file access, for every build but the Windows ones: paths are bytes.
#include "common/file_system.h"

#include <filesystem>
#include <system_error>

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

std::FILE* OpenForReading(const std::string& path, uint64_t* size) {
    const std::filesystem::path name = path;  // the one allocation, before the file is open
    // Only regular files: a folder would open on some systems and fail on the first read.
    std::error_code error;
    if (!std::filesystem::is_regular_file(name, error)) return nullptr;
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (stream == nullptr) return nullptr;
    *size = std::filesystem::file_size(name, error);
    if (error) {
        std::fclose(stream);
        return nullptr;
    }
    return stream;
}
