#include "frontends/cli/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "frontends/cli/cli_output.h"

namespace fs = std::filesystem;

namespace {

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code failed;
    return fs::equivalent(a, b, failed);
}

// mkstemp makes the file private; an output gets the mode a plain create would give it.
void GiveUsualMode(int descriptor) {
    static const mode_t mask = [] {  // a process's umask can only be read by setting it
        const mode_t current = umask(0);
        umask(current);
        return current;
    }();
    fchmod(descriptor, 0666 & ~mask);
}

bool MakeFolder(const fs::path& folder) {
    if (folder.empty()) return true;
    std::error_code failed;
    fs::create_directories(folder, failed);
    if (!failed) return true;
    ReportFailure("Cannot create " + folder.string() + ": " + failed.message());
    return false;
}

// The hidden temporary file beside `path`; removed unless it was renamed into place.
struct TemporaryFile {
    std::string name;
    std::FILE* file = nullptr;

    ~TemporaryFile() {
        if (file != nullptr) std::fclose(file);
        if (!name.empty()) std::remove(name.c_str());
    }

    bool Open(const fs::path& path, std::string* error) {
        const fs::path folder = path.parent_path();
        name = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
        const int descriptor = mkstemp(name.data());
        if (descriptor < 0) {
            *error = std::strerror(errno);
            name.clear();
            return false;
        }
        GiveUsualMode(descriptor);
        file = fdopen(descriptor, "wb");
        if (file == nullptr) {
            *error = std::strerror(errno);
            close(descriptor);
            return false;
        }
        return true;
    }

    bool Commit(const fs::path& path, std::string* error) {
        const int closed = std::fclose(file);
        file = nullptr;
        if (closed != 0 || std::rename(name.c_str(), path.c_str()) != 0) {
            *error = std::strerror(errno);
            return false;
        }
        name.clear();
        return true;
    }
};

}  // namespace

bool HidesGameFile(const GameArchive& archive, const fs::path& path) {
    for (const std::string& gameFile : archive.paths) {
        if (!gameFile.empty() && SameFile(path, gameFile)) return true;
    }
    if (!GameFileSlot(path.filename().string(), archive.baseName)) return false;
    const fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    const fs::path gameFolder =
        archive.directory.empty() ? fs::path(".") : fs::path(archive.directory);
    return SameFile(folder, gameFolder);
}

bool WriteOutputFile(const GameArchive& archive, const fs::path& path, bool makeFolder,
                     const FileFiller& fill) {
    if (HidesGameFile(archive, path)) {
        ReportFailure("Refusing to write over a game file: " + path.string());
        return false;
    }
    if (makeFolder && !MakeFolder(path.parent_path())) return false;
    TemporaryFile temporary;
    std::string error;
    if (temporary.Open(path, &error) && fill(temporary.file, &error) &&
        temporary.Commit(path, &error)) {
        return true;
    }
    ReportFailure("Cannot write " + path.string() + ": " + error);
    return false;
}
