// What writing files needs of the file system, for the one place that writes them
// (output_file.cpp). Every path is UTF-8 (on Linux, the bytes the file system holds) and
// may use '/' between its parts on every system. Each program links one definition, as it
// links the reading seam of common/file_system.h: output_file_system.cpp (POSIX) on Linux
// and in the browser, and the wide Windows file functions in duzuroro-cli.exe.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>

// Why the file system said no, in the C library's words where it has them.
struct WriteFailure {
    std::string reason;
    // The folder or the disk refuses (no space, no permission, read-only, over quota), not
    // this one file: no other file can be written there either.
    bool wholeFolder = false;
};

// True for the C library's reasons that are the folder's or the disk's rather than a file's.
inline bool RefusesWholeFolder(int errorNumber) {
    switch (errorNumber) {
        case ENOSPC:
        case EACCES:
        case EPERM:
#ifdef EROFS
        case EROFS:
#endif
#ifdef EDQUOT
        case EDQUOT:
#endif
            return true;
        default:
            return false;
    }
}

// Creates `folder` and every missing folder above it ("" is the current folder, which
// exists). False, with the system's reason, when it cannot.
bool MakeFolders(const std::string& folder, WriteFailure* failure);

// A file being written where nobody looks: without a name where the system allows it
// (O_TMPFILE), otherwise under a hidden name beside its final path ("." + name + "." and a
// unique suffix) that an interruption by SIGINT or SIGTERM (Ctrl+C on Windows) removes.
struct HiddenFile {
    std::FILE* file = nullptr;
    std::string temporaryPath;  // "" while the file has no name
    int liveSlot = -1;          // its entry in live_temporaries.h while it has a name
    uint64_t size = 0;          // what was written, once in place

    HiddenFile() = default;
    HiddenFile(const HiddenFile&) = delete;
    HiddenFile& operator=(const HiddenFile&) = delete;
    ~HiddenFile();  // removes it unless it was put in place
};

// Opens a new hidden file for writing in the folder of `finalPath`, with the permissions an
// ordinary new file gets. False, with the system's reason, when it cannot.
bool OpenHidden(const std::string& finalPath, HiddenFile* hidden, WriteFailure* failure);

// Closes the whole file and puts it in place as `finalPath` in one step, replacing a file or
// a link there (a link is replaced, never followed). False, with the system's reason and no
// file left behind, when it cannot.
bool PutInPlace(HiddenFile* hidden, const std::string& finalPath, WriteFailure* failure);

// Removes a file, if it is there; nothing is said when it is not.
void RemoveFile(const std::string& path);

// True when both name one existing file or folder, through any link.
bool SameFile(const std::string& a, const std::string& b);

// `path` made absolute against the current folder, as an open dialog reports a choice.
std::string AbsolutePath(const std::string& path);
