// duzuroro-cli.exe's side of the writing seam: the wide Windows file functions over UTF-8
// paths, so that any name the file system holds can be written, whatever the ANSI code page.
// A file is written under a hidden name beside its own and renamed into place; Ctrl+C,
// Ctrl+Break or the console closing removes the hidden files before the process ends.
#include <windows.h>
// The seam's ReplaceFile, not the Windows macro that names ReplaceFileW.
#undef ReplaceFile

#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "export/live_temporaries.h"
#include "export/output_file_system.h"
#include "frontends/win32/narrow_text.h"

namespace {

// The reasons a user meets most are said in the C library's words, as the Linux tool says
// them; the rest in the system's own.
int ErrnoOf(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_NETPATH:
        case ERROR_INVALID_DRIVE:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EACCES;
        case ERROR_WRITE_PROTECT:
            return EROFS;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_DIRECTORY:
            return ENOTDIR;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
            return EINVAL;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        default:
            return 0;
    }
}

std::string SystemReason(DWORD code) {
    if (const int number = ErrnoOf(code); number != 0) return std::strerror(number);
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide(text != nullptr ? text : L"", length);
    LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' ||
                             wide.back() == L' ' || wide.back() == L'.')) {
        wide.pop_back();
    }
    std::string reason;
    if (wide.empty() || !ToNarrow(wide, &reason)) reason = "Windows error " + std::to_string(code);
    return reason;
}

// The folder or the disk refuses, not one file: no other file can be written there either.
// Access denied counts where a file is made, not where one is replaced (a read-only file or
// a folder in the way).
constexpr DWORD kDiskQuotaExceeded = 1295;  // ERROR_DISK_QUOTA_EXCEEDED, not in every header

bool FolderRefuses(DWORD code) {
    switch (code) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
        case kDiskQuotaExceeded:
        case ERROR_WRITE_PROTECT:
        case ERROR_ACCESS_DENIED:
        case ERROR_NOT_READY:
            return true;
        default:
            return false;
    }
}

bool Fail(DWORD code, WriteFailure* failure) {
    failure->reason = SystemReason(code);
    failure->wholeFolder = FolderRefuses(code);
    return false;
}

// A failure of the C library's stream, in its words.
bool FailWithErrno(int number, WriteFailure* failure) {
    failure->reason = std::strerror(number);
    failure->wholeFolder = RefusesWholeFolder(number);
    return false;
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Creates `folder` after its missing parents; each level is tried before its parent, so a
// drive or share root is never created.
// One folder made, or found already there: another of the command's workers may make it
// at the same moment.
DWORD CreateFolder(const std::wstring& folder) {
    if (CreateDirectoryW(folder.c_str(), nullptr)) return ERROR_SUCCESS;
    const DWORD code = GetLastError();
    if (code == ERROR_ALREADY_EXISTS) return IsFolder(folder) ? ERROR_SUCCESS : ERROR_DIRECTORY;
    return code;
}

DWORD CreateFolders(std::wstring folder, int depth) {
    while (folder.size() > 1 && IsSeparator(folder.back())) folder.pop_back();
    const DWORD code = CreateFolder(folder);
    if (code != ERROR_PATH_NOT_FOUND || depth > 256) return code;
    size_t cut = folder.size();
    while (cut > 0 && !IsSeparator(folder[cut - 1])) --cut;
    if (cut == 0) return code;
    const DWORD parent = CreateFolders(folder.substr(0, cut), depth + 1);
    if (parent != ERROR_SUCCESS) return parent;
    return CreateFolder(folder);
}

// Six letters and digits, different for each file this process asks for and, through the
// process id and the clock, from another process's.
std::wstring UniqueSuffix() {
    static std::atomic<uint64_t> count{0};
    LARGE_INTEGER clock;
    QueryPerformanceCounter(&clock);
    uint64_t mixed = (uint64_t{GetCurrentProcessId()} << 32) ^
                     static_cast<uint64_t>(clock.QuadPart) ^ (++count * 0x9E3779B97F4A7C15u);
    mixed ^= mixed >> 29;
    mixed *= 0xBF58476D1CE4E5B9u;
    mixed ^= mixed >> 32;
    static const wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::wstring suffix;
    for (int i = 0; i < 6; ++i) {
        suffix += kLetters[mixed % 62];
        mixed /= 62;
    }
    return suffix;
}

// Attributes and identity only: it shares everything, so an open game file answers too.
HANDLE OpenToIdentify(const std::wstring& path) {
    return CreateFileW(path.empty() ? L"." : path.c_str(), FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool Identify(const std::string& path, BY_HANDLE_FILE_INFORMATION* information) {
    std::wstring wide;
    if (!ToWide(path, &wide)) return false;
    HANDLE file = OpenToIdentify(wide);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(file, information) != 0;
    CloseHandle(file);
    return known;
}

// Removes every hidden file listed, on the thread the console's event comes on; the default
// handler then ends the process. A file a worker still holds is removed as its handle closes.
BOOL WINAPI RemoveLiveTemporaries(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
        return FALSE;
    }
    static wchar_t wide[kLiveTemporaryPathBytes];
    MarkLiveTemporariesEnding();
    for (int waited = 0; TemporariesBeingMade() > 0 && waited < 1000; ++waited) Sleep(1);
    for (size_t slot = 0; slot < kLiveTemporarySlots; ++slot) {
        const char* path = LiveTemporaryAt(slot);
        if (path == nullptr) continue;
        const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide,
                                               static_cast<int>(kLiveTemporaryPathBytes));
        if (length > 0) DeleteFileW(wide);
    }
    return FALSE;
}

void HandleInterruptions() {
    static std::once_flag once;
    std::call_once(once, [] { SetConsoleCtrlHandler(RemoveLiveTemporaries, TRUE); });
}

}  // namespace

HiddenFile::~HiddenFile() {
    if (file != nullptr) std::fclose(file);
    std::wstring wide;
    if (!temporaryPath.empty() && ToWide(temporaryPath, &wide)) DeleteFileW(wide.c_str());
    ForgetLiveTemporary(liveSlot);
}

bool MakeFolders(const std::string& folder, WriteFailure* failure) {
    if (folder.empty()) return true;
    std::wstring wide;
    if (!ToWide(folder, &wide)) return Fail(ERROR_INVALID_NAME, failure);
    const DWORD code = CreateFolders(wide, 0);
    return code == ERROR_SUCCESS || Fail(code, failure);
}

bool OpenHidden(const std::string& finalPath, HiddenFile* hidden, WriteFailure* failure) {
    std::wstring wideFinal;
    if (!ToWide(finalPath, &wideFinal)) return Fail(ERROR_INVALID_NAME, failure);
    size_t start = wideFinal.size();
    while (start > 0 && !IsSeparator(wideFinal[start - 1]) && wideFinal[start - 1] != L':') {
        --start;
    }
    const std::wstring wideFolder = wideFinal.substr(0, start);
    const std::wstring wideName = wideFinal.substr(start);
    HandleInterruptions();
    // New, never an existing file: a name another writer took is passed over for the next.
    // Each is listed before it exists; shared for deletion, so that an interruption removes
    // it while a worker still writes it.
    HANDLE file = INVALID_HANDLE_VALUE;
    std::wstring path;
    std::string narrow;
    int slot = -1;
    DWORD code = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && code == ERROR_FILE_EXISTS; ++attempt) {
        path = wideFolder + L"." + wideName + L"." + UniqueSuffix();
        ToNarrow(path, &narrow);  // folder and name came from the narrow encoding
        if (!BeginMakingTemporary()) {
            for (;;) Sleep(INFINITE);  // the console's handler is ending the process
        }
        slot = ListLiveTemporary(narrow);
        file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                           nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        code = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
        EndMakingTemporary();
        if (code == ERROR_ALREADY_EXISTS) code = ERROR_FILE_EXISTS;
        if (code != ERROR_SUCCESS) ForgetLiveTemporary(slot);
    }
    if (file == INVALID_HANDLE_VALUE) return Fail(code, failure);
    hidden->temporaryPath = std::move(narrow);
    hidden->liveSlot = slot;
    // The C runtime's stream takes the handle over: closing the stream closes it.
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
    if (descriptor == -1) {
        const int reason = errno;
        CloseHandle(file);
        return FailWithErrno(reason, failure);  // the record removes the file
    }
    hidden->file = _fdopen(descriptor, "wb");
    if (hidden->file != nullptr) return true;
    const int reason = errno;
    _close(descriptor);
    return FailWithErrno(reason, failure);
}

bool PutInPlace(HiddenFile* hidden, const std::string& finalPath, WriteFailure* failure) {
    if (std::fflush(hidden->file) != 0) return FailWithErrno(errno, failure);
    const long end = std::ftell(hidden->file);
    hidden->size = end > 0 ? static_cast<uint64_t>(end) : 0;
    const int closed = std::fclose(hidden->file);
    hidden->file = nullptr;
    if (closed != 0) return FailWithErrno(errno, failure);
    std::wstring wideFrom, wideTo;
    if (!ToWide(hidden->temporaryPath, &wideFrom) || !ToWide(finalPath, &wideTo)) {
        return Fail(ERROR_INVALID_NAME, failure);
    }
    // Hidden only while it is being written: the file in place is an ordinary one.
    const DWORD attributes = GetFileAttributesW(wideFrom.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0) {
        SetFileAttributesW(wideFrom.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_HIDDEN});
    }
    // A link at `to` is replaced itself; its target is left alone.
    if (MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        ForgetLiveTemporary(hidden->liveSlot);
        hidden->liveSlot = -1;
        hidden->temporaryPath.clear();
        return true;
    }
    const DWORD code = GetLastError();
    if (code == ERROR_ACCESS_DENIED && IsFolder(wideTo)) return FailWithErrno(EISDIR, failure);
    Fail(code, failure);
    // Refused here, the file in the way is the one at fault.
    if (code == ERROR_ACCESS_DENIED) failure->wholeFolder = false;
    return false;
}

void RemoveFile(const std::string& path) {
    std::wstring wide;
    if (ToWide(path, &wide) && !wide.empty()) DeleteFileW(wide.c_str());
}

bool SameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION first, second;
    return Identify(a, &first) && Identify(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

std::string AbsolutePath(const std::string& path) {
    std::wstring wide;
    if (!ToWide(path, &wide) || wide.empty()) return path;
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    std::string absolute;
    return ToNarrow(full, &absolute) ? absolute : path;
}
