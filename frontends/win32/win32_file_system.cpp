// The Windows programs' file access. Paths stay in the program's one narrow encoding
// throughout the core (narrow_text.h: the ANSI code page in DuzuRoro.exe, UTF-8 in
// duzuroro-cli.exe); here, and only here, they become the UTF-16 that the Windows file
// functions take, and listed names come back to that encoding.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "common/file_system.h"
#include "frontends/win32/narrow_text.h"

namespace {

// The usual reasons in the words the standard library's build uses, so that both tools
// say the same; anything rarer by its number.
void SayWhy(std::string* reason, DWORD code) {
    if (reason == nullptr) return;
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_INVALID_DRIVE:
            *reason = kNoSuchFile;
            return;
        case ERROR_ACCESS_DENIED:
            *reason = kPermissionDenied;
            return;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            *reason = "in use by another program";
            return;
        default:
            *reason = "Windows error " + std::to_string(code);
    }
}

bool EndsInSeparator(const std::wstring& folder) {
    if (folder.empty()) return false;
    const wchar_t last = folder.back();
    return last == L'\\' || last == L'/' || last == L':';
}

}  // namespace

std::vector<FolderFile> ListFolder(const std::string& folder) {
    std::vector<FolderFile> files;
    std::wstring wideFolder;
    if (!ToWide(folder, &wideFolder)) return files;
    // Judged on the wide form: in a double-byte code page a character's second byte can be '\'.
    const bool joined = folder.empty() || EndsInSeparator(wideFolder);
    const std::string separator = joined ? "" : "\\";
    const std::wstring pattern = wideFolder + (joined ? L"*" : L"\\*");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    try {
        do {
            if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
                continue;
            }
            std::string name;
            if (!ToNarrow(found.cFileName, &name)) continue;
            files.push_back({name, folder + separator + name});
        } while (FindNextFileW(search, &found));
    } catch (...) {
        FindClose(search);  // the caller reports the failure; the search handle must not leak
        throw;
    }
    FindClose(search);
    return files;
}

std::FILE* OpenForReading(const std::string& path, uint64_t* size, std::string* reason) {
    std::wstring widePath;
    if (!ToWide(path, &widePath) || widePath.empty()) {
        SayWhy(reason, ERROR_INVALID_NAME);
        return nullptr;
    }
    // A folder cannot be opened this way and would be called "access denied": said as it is.
    const DWORD attributes = GetFileAttributesW(widePath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        if (reason != nullptr) *reason = kAFolder;
        return nullptr;
    }
    // Read-only, and others may only read while it is open: a file that another program
    // holds open for writing is refused rather than read while it changes.
    HANDLE file = CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        SayWhy(reason, GetLastError());
        return nullptr;
    }
    LARGE_INTEGER length;
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        if (reason != nullptr) *reason = "not a regular file";
        return nullptr;
    }
    if (!GetFileSizeEx(file, &length)) {
        SayWhy(reason, GetLastError());
        CloseHandle(file);
        return nullptr;
    }
    // The C runtime's stream takes the handle over: closing the stream closes it.
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (descriptor == -1) {
        CloseHandle(file);
        if (reason != nullptr) *reason = "too many open files";
        return nullptr;
    }
    std::FILE* stream = _fdopen(descriptor, "rb");
    if (stream == nullptr) {
        _close(descriptor);
        if (reason != nullptr) *reason = "too many open files";
        return nullptr;
    }
    *size = static_cast<uint64_t>(length.QuadPart);
    return stream;
}
