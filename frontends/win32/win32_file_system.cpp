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

std::FILE* OpenForReading(const std::string& path, uint64_t* size) {
    std::wstring widePath;
    if (!ToWide(path, &widePath) || widePath.empty()) return nullptr;
    // Read-only, and others may only read while it is open: a file that another program
    // holds open for writing is refused rather than read while it changes.
    HANDLE file = CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER length;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &length)) {
        CloseHandle(file);
        return nullptr;
    }
    // The C runtime's stream takes the handle over: closing the stream closes it.
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (descriptor == -1) {
        CloseHandle(file);
        return nullptr;
    }
    std::FILE* stream = _fdopen(descriptor, "rb");
    if (stream == nullptr) {
        _close(descriptor);
        return nullptr;
    }
    *size = static_cast<uint64_t>(length.QuadPart);
    return stream;
}
