// The two things the program asks of the file system: the files in a folder, and one file
// opened for reading. Every path is a narrow string in one encoding from the open dialog or
// command line to here: bytes on Linux, the ANSI code page in DuzuRoro.exe, UTF-8 in
// duzuroro-cli.exe. Each build links one definition, as it links the front-end functions:
// file_system.cpp (standard library) everywhere but on Windows, where both programs link
// frontends/win32/win32_file_system.cpp, which converts once here to what the Windows file
// functions take.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct FolderFile {
    std::string name;  // the file's name alone
    std::string path;  // the folder and the name, as OpenForReading takes it
};

// Both may throw std::bad_alloc (the caller reports it), never while holding anything open.

// The regular files in `folder` ("" is the current folder), in no particular order. A
// folder that cannot be listed has none; a name the narrow encoding cannot spell is left
// out, as no dialog could have named it.
std::vector<FolderFile> ListFolder(const std::string& folder);

// Opens an existing regular file read-only, or gives null. On Windows, others may go on
// reading it but not writing: a file another program holds open for writing is refused.
// `size` receives the file's length in bytes. On null, `reason` (when given) receives why,
// in the same words on every system: "No such file or directory", "Permission denied",
// "a folder, not a file", or the system's own text for anything rarer.
std::FILE* OpenForReading(const std::string& path, uint64_t* size, std::string* reason = nullptr);

// The words for the usual reasons, shared by both definitions so that they read alike.
inline constexpr const char* kNoSuchFile = "No such file or directory";
inline constexpr const char* kPermissionDenied = "Permission denied";
inline constexpr const char* kAFolder = "a folder, not a file";
