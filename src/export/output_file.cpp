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

// A folder that cannot be made refuses every file that would go into it.
bool MakeFolderOf(const std::string& path, ExportReport& report) {
    const std::string folder = FolderOf(path);
    WriteFailure failure;
    if (MakeFolders(folder, &failure)) return true;
    report.Error("Cannot create " + folder + ": " + failure.reason);
    report.stopped = true;
    return false;
}

// What a filler's failure was: when the stream itself failed, the system's reason, which
// the C library left in errno (a writer's own words, such as libpng's "Write Error", say
// less); otherwise the writer's.
WriteFailure FillFailure(std::FILE* file, int errorNumber, const std::string& said) {
    WriteFailure failure;
    failure.reason = said;
    if (std::ferror(file) != 0 && errorNumber != 0) {
        failure.reason = std::strerror(errorNumber);
        failure.wholeFolder = RefusesWholeFolder(errorNumber);
    }
    return failure;
}

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
    if (report.stopped) return false;
    if (HidesGameFile(archive, path)) {
        report.Error("Refusing to write over a game file: " + path);
        return false;
    }
    if (makeFolder && !MakeFolderOf(path, report)) return false;
    HiddenFile hidden;
    WriteFailure failure;
    if (OpenHidden(path, &hidden, &failure)) {
        errno = 0;
        std::string said;
        const bool filled = fill(hidden.file, &said);
        const int errorNumber = errno;
        if (!filled && report.stopped) return false;  // the command stopped while it filled
        if (!filled) failure = FillFailure(hidden.file, errorNumber, said);
        if (filled && PutInPlace(&hidden, path, &failure)) {
            ++report.filesWritten;
            report.bytesWritten += hidden.size;
            return true;
        }
    }
    report.Error("Cannot write " + path + ": " + failure.reason);
    if (failure.wholeFolder) report.stopped = true;
    return false;
}
