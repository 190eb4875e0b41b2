// The POSIX definition of the writing seam: Linux, and the browser's file system. On Linux
// a file is written unnamed (O_TMPFILE) and linked into place once whole, so that not even
// SIGKILL leaves a part of it visible; elsewhere, and on file systems that refuse O_TMPFILE,
// under a hidden name that SIGINT, SIGTERM and SIGHUP remove before the process ends.
#include "export/output_file_system.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "export/live_temporaries.h"

namespace fs = std::filesystem;

namespace {

bool Fail(int number, WriteFailure* failure) {
    failure->reason = std::strerror(number);
    failure->wholeFolder = RefusesWholeFolder(number);
    return false;
}

std::string FolderPart(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Removes every hidden temporary listed, then ends the process as the signal would have.
// Only async-signal-safe calls: nanosleep, unlink, raise.
void RemoveLiveTemporaries(int signalNumber) {
    const int saved = errno;
    MarkLiveTemporariesEnding();
    // A second at most: a file system that takes longer to make a name is not waited for.
    const timespec pause{0, 1000 * 1000};
    for (int waited = 0; TemporariesBeingMade() > 0 && waited < 1000; ++waited) {
        nanosleep(&pause, nullptr);
    }
    for (size_t slot = 0; slot < kLiveTemporarySlots; ++slot) {
        if (const char* path = LiveTemporaryAt(slot)) unlink(path);
    }
    errno = saved;
    raise(signalNumber);  // the handler was reset to the default on entry, and not blocked
}

// Once, when the first hidden name is made; a signal the program ignores or handles itself
// is left as it is.
void HandleInterruptions() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
            struct sigaction current {};
            if (sigaction(signalNumber, nullptr, &current) != 0) continue;
            if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) continue;
            struct sigaction removing {};
            removing.sa_handler = RemoveLiveTemporaries;
            sigemptyset(&removing.sa_mask);
            removing.sa_flags = static_cast<int>(SA_RESETHAND | SA_NODEFER);
            sigaction(signalNumber, &removing, nullptr);
        }
    });
}

// Six letters and digits, different for each name this process asks for and, through the
// process id and the clock, from another process's.
std::string UniqueSuffix() {
    static std::atomic<uint64_t> count{0};
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t mixed = (static_cast<uint64_t>(getpid()) << 32) ^
                     static_cast<uint64_t>(now.tv_nsec) ^
                     (static_cast<uint64_t>(now.tv_sec) << 20) ^
                     (++count * 0x9E3779B97F4A7C15u);
    mixed ^= mixed >> 29;
    mixed *= 0xBF58476D1CE4E5B9u;
    mixed ^= mixed >> 32;
    static const char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string suffix;
    for (int i = 0; i < 6; ++i) {
        suffix += kLetters[mixed % 62];
        mixed /= 62;
    }
    return suffix;
}

std::string HiddenNameBeside(const std::string& finalPath) {
    const size_t slash = finalPath.rfind('/');
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    return finalPath.substr(0, start) + "." + finalPath.substr(start) + "." + UniqueSuffix();
}

// Gives the file a hidden name with `make` (an open or a link, failing with EEXIST when the
// name is taken), listed before it exists. False, with errno set, when it cannot.
template <typename Make>
bool MakeHiddenName(const std::string& finalPath, HiddenFile* hidden, const Make& make) {
    HandleInterruptions();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = HiddenNameBeside(finalPath);
        if (!BeginMakingTemporary()) {
            for (;;) pause();  // a handler is ending the process
        }
        const int slot = ListLiveTemporary(path);
        const bool made = make(path.c_str());
        const int reason = errno;
        EndMakingTemporary();
        if (made) {
            hidden->temporaryPath = std::move(path);
            hidden->liveSlot = slot;
            return true;
        }
        ForgetLiveTemporary(slot);
        errno = reason;
        if (reason != EEXIST) return false;
    }
    return false;
}

void ForgetName(HiddenFile* hidden) {
    ForgetLiveTemporary(hidden->liveSlot);
    hidden->liveSlot = -1;
    hidden->temporaryPath.clear();
}

#if defined(__linux__) && defined(O_TMPFILE)
// The unnamed file is linked through its /proc entry, which needs no privilege.
std::string ProcPathOf(int descriptor) {
    return "/proc/self/fd/" + std::to_string(descriptor);
}

bool ProcAvailable() {
    static const bool available = access("/proc/self/fd", X_OK) == 0;
    return available;
}

// A descriptor, -1 with errno set when the folder refuses, or -2 when the file system (or
// the kernel) has no unnamed files.
int OpenUnnamed(const std::string& folder) {
    if (!ProcAvailable()) return -2;
    const int descriptor = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (descriptor >= 0) return descriptor;
    return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL ? -2 : -1;
}

// Links the whole unnamed file to `finalPath`: straight there when the name is free;
// otherwise to a hidden name, renamed over the old file (a SIGKILL between the two leaves
// that whole file under its hidden name).
bool LinkInPlace(HiddenFile* hidden, const std::string& finalPath, WriteFailure* failure) {
    const std::string source = ProcPathOf(fileno(hidden->file));
    if (linkat(AT_FDCWD, source.c_str(), AT_FDCWD, finalPath.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return true;
    }
    if (errno != EEXIST) return Fail(errno, failure);
    const bool linked = MakeHiddenName(finalPath, hidden, [&](const char* path) {
        return linkat(AT_FDCWD, source.c_str(), AT_FDCWD, path, AT_SYMLINK_FOLLOW) == 0;
    });
    if (!linked) return Fail(errno, failure);
    if (std::rename(hidden->temporaryPath.c_str(), finalPath.c_str()) == 0) {
        ForgetName(hidden);
        return true;
    }
    return Fail(errno, failure);  // the hidden link goes with the record
}
#else
int OpenUnnamed(const std::string&) {
    return -2;
}

bool LinkInPlace(HiddenFile*, const std::string&, WriteFailure* failure) {
    return Fail(ENOTSUP, failure);
}
#endif

}  // namespace

HiddenFile::~HiddenFile() {
    if (file != nullptr) std::fclose(file);
    if (!temporaryPath.empty()) unlink(temporaryPath.c_str());
    ForgetLiveTemporary(liveSlot);
}

bool MakeFolders(const std::string& folder, WriteFailure* failure) {
    if (folder.empty()) return true;
    std::error_code failed;
    fs::create_directories(folder, failed);
    if (!failed) return true;
    failure->reason = failed.message();
    failure->wholeFolder = RefusesWholeFolder(failed.value());
    return false;
}

bool OpenHidden(const std::string& finalPath, HiddenFile* hidden, WriteFailure* failure) {
    int descriptor = OpenUnnamed(FolderPart(finalPath));
    if (descriptor == -1) return Fail(errno, failure);
    if (descriptor == -2) {
        const bool made = MakeHiddenName(finalPath, hidden, [&](const char* path) {
            descriptor = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            return descriptor >= 0;
        });
        if (!made) return Fail(errno, failure);
    }
    hidden->file = fdopen(descriptor, "wb");
    if (hidden->file != nullptr) return true;
    const int reason = errno;
    close(descriptor);
    return Fail(reason, failure);
}

bool PutInPlace(HiddenFile* hidden, const std::string& finalPath, WriteFailure* failure) {
    if (std::fflush(hidden->file) != 0) return Fail(errno, failure);
    const long end = std::ftell(hidden->file);
    hidden->size = end > 0 ? static_cast<uint64_t>(end) : 0;
    if (hidden->temporaryPath.empty()) {
        if (!LinkInPlace(hidden, finalPath, failure)) return false;
        const int closed = std::fclose(hidden->file);
        hidden->file = nullptr;
        if (closed == 0) return true;
        const int reason = errno;
        unlink(finalPath.c_str());  // in place, but not known to be whole
        return Fail(reason, failure);
    }
    const int closed = std::fclose(hidden->file);
    hidden->file = nullptr;
    if (closed != 0) return Fail(errno, failure);
    if (std::rename(hidden->temporaryPath.c_str(), finalPath.c_str()) != 0) {
        return Fail(errno, failure);
    }
    ForgetName(hidden);
    return true;
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
