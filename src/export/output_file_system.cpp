// The POSIX definition of the writing seam: Linux, and the browser's file system.
#include "export/output_file_system.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A process's umask can only be read by setting it, and for that moment every folder another
// thread creates would get mode 0777: it is read once, before main, while one thread runs.
mode_t ReadUmask() {
    const mode_t current = umask(0);
    umask(current);
    return current;
}
const mode_t g_umask = ReadUmask();

// mkstemp makes the file private; an output gets the mode a plain create would give it.
void GiveUsualMode(int descriptor) {
    fchmod(descriptor, 0666 & ~g_umask);
}

}  // namespace

bool MakeFolders(const std::string& folder, std::string* error) {
    if (folder.empty()) return true;
    std::error_code failed;
    fs::create_directories(folder, failed);
    if (!failed) return true;
    *error = failed.message();
    return false;
}

std::FILE* CreateHiddenTemporary(const std::string& folder, const std::string& name,
                                 std::string* temporaryPath, std::string* error) {
    std::string path = (folder.empty() || folder.back() == '/' ? folder : folder + "/") + "." +
                       name + ".XXXXXX";
    const int descriptor = mkstemp(path.data());
    if (descriptor < 0) {
        *error = std::strerror(errno);
        return nullptr;
    }
    GiveUsualMode(descriptor);
    std::FILE* file = fdopen(descriptor, "wb");
    if (file == nullptr) {
        *error = std::strerror(errno);
        close(descriptor);
        std::remove(path.c_str());
        return nullptr;
    }
    *temporaryPath = std::move(path);
    return file;
}

bool ReplaceFile(const std::string& from, const std::string& to, std::string* error) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    *error = std::strerror(errno);
    return false;
}

void RemoveFile(const std::string& path) {
    std::remove(path.c_str());
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code failed;
    return fs::equivalent(a, b, failed);
}

std::string AbsolutePath(const std::string& path) {
    std::error_code failed;
    const fs::path absolute = fs::absolute(path, failed);
    return failed ? path : absolute.string();
}
