#include "export/output_file.h"

#include <cerrno>
#include <cstring>

#include "export/output_file_system.h"

namespace {

#ifdef _WIN32
constexpr const char* kSeparators = "/\\";
#else
constexpr const char* kSeparators = "/";
#endif

bool IsSeparator(char c) {
    for (const char* s = kSeparators; *s != '\0'; ++s) {
        if (c == *s) return true;
    }
    return false;
}

bool MakeFolderOf(const std::string& path, ExportReport& report) {
    const std::string folder = FolderOf(path);
    std::string error;
    if (MakeFolders(folder, &error)) return true;
    report.Error("Cannot create " + folder + ": " + error);
    return false;
}

// The hidden temporary file beside a path; removed unless it was renamed into place.
struct TemporaryFile {
    std::string path;
    std::FILE* file = nullptr;
    uint64_t size = 0;  // what was written, once committed

    ~TemporaryFile() {
        if (file != nullptr) std::fclose(file);
        if (!path.empty()) RemoveFile(path);
    }

    bool Open(const std::string& finalPath, std::string* error) {
        file = CreateHiddenTemporary(FolderOf(finalPath), NameOf(finalPath), &path, error);
        return file != nullptr;
    }

    bool Commit(const std::string& finalPath, std::string* error) {
        const long end = std::fflush(file) == 0 ? std::ftell(file) : -1;
        size = end > 0 ? static_cast<uint64_t>(end) : 0;
        const int closed = std::fclose(file);
        file = nullptr;
        if (closed != 0) {
            *error = std::strerror(errno);
            return false;
        }
        if (!ReplaceFile(path, finalPath, error)) return false;
        path.clear();
        return true;
    }
};

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return IsSeparator(folder.back()) ? folder + name : folder + "/" + name;
}

std::string FolderOf(const std::string& path) {
    size_t end = path.size();
    while (end > 0 && !IsSeparator(path[end - 1])) --end;  // past the last part
    if (end == 0) return "";
    size_t folderEnd = end;
    while (folderEnd > 1 && IsSeparator(path[folderEnd - 1])) --folderEnd;
    return path.substr(0, folderEnd);  // "/" stays the root
}

std::string NameOf(const std::string& path) {
    size_t start = path.size();
    while (start > 0 && !IsSeparator(path[start - 1])) --start;
    return path.substr(start);
}

bool HidesGameFile(const GameArchive& archive, const std::string& path) {
    for (const std::string& gameFile : archive.paths) {
        if (!gameFile.empty() && SameFile(path, gameFile)) return true;
    }
    if (!GameFileSlot(NameOf(path), archive.baseName)) return false;
    const std::string folder = FolderOf(path);
    const std::string gameFolder(archive.directory);
    return SameFile(folder.empty() ? "." : folder, gameFolder.empty() ? "." : gameFolder);
}

bool WriteOutputFile(const GameArchive& archive, const std::string& path, bool makeFolder,
                     const FileFiller& fill, ExportReport& report) {
    if (HidesGameFile(archive, path)) {
        report.Error("Refusing to write over a game file: " + path);
        return false;
    }
    if (makeFolder && !MakeFolderOf(path, report)) return false;
    TemporaryFile temporary;
    std::string error;
    if (temporary.Open(path, &error) && fill(temporary.file, &error) &&
        temporary.Commit(path, &error)) {
        ++report.filesWritten;
        report.bytesWritten += temporary.size;
        return true;
    }
    report.Error("Cannot write " + path + ": " + error);
    return false;
}
