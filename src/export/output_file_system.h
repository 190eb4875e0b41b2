// What writing files needs of the file system, for the one place that writes them
// (output_file.cpp). Every path is UTF-8 (on Linux, the bytes the file system holds) and
// may use '/' between its parts on every system. Each program links one definition, as it
// links the reading seam of common/file_system.h: output_file_system.cpp (POSIX) on Linux
// and in the browser, and the wide Windows file functions in duzuroro-cli.exe.
#pragma once

#include <cstdio>
#include <string>

// Creates `folder` and every missing folder above it ("" is the current folder, which
// exists). False, with the system's reason in `error`, when it cannot.
bool MakeFolders(const std::string& folder, std::string* error);

// Creates a new hidden file in `folder` for writing, named "." + `name` + "." and a unique
// suffix, with the permissions an ordinary new file gets. Its path goes to `temporaryPath`.
// Null, with the system's reason in `error`, when it cannot.
std::FILE* CreateHiddenTemporary(const std::string& folder, const std::string& name,
                                 std::string* temporaryPath, std::string* error);

// Renames `from` to `to` in one step, replacing a file or link at `to` (a link is replaced,
// never followed). False, with the system's reason in `error`, when it cannot.
bool ReplaceFile(const std::string& from, const std::string& to, std::string* error);

// Removes a file, if it is there; nothing is said when it is not.
void RemoveFile(const std::string& path);

// True when both name one existing file or folder, through any link.
bool SameFile(const std::string& a, const std::string& b);

// `path` made absolute against the current folder, as an open dialog reports a choice.
std::string AbsolutePath(const std::string& path);
