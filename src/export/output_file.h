// How the export library writes a file: never one of the game's files, nor a name that the
// game's folder would then offer as one of them; all or nothing, through a file nobody sees
// (unnamed, or hidden) in the same folder that is put into place only once it is whole. A
// link at the destination is replaced, not followed. Every call goes through
// output_file_system.h.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "archive/game_archive.h"
#include "export/export_report.h"

// Fills the open file; false with `error` set when it cannot.
using FileFiller = std::function<bool(std::FILE* file, std::string* error)>;

// Writes `path` with `fill`, creating its folder first when `makeFolder` is set. False,
// with the cause reported and no file left behind, when it is refused or fails. When the
// folder or the disk refuses (no space, no permission, read-only) the report is stopped:
// this and every later call write nothing and say nothing more. A fill that fails once the
// report is stopped (the command stopped while it filled) is said nothing about either.
bool WriteOutputFile(const GameArchive& archive, const std::string& path, bool makeFolder,
                     const FileFiller& fill, ExportReport& report);

// True when writing `path` would replace one of the game's open files (through any link),
// or put a file the archive would find as one of its ten slots into the game's folder.
bool HidesGameFile(const GameArchive& archive, const std::string& path);

// Paths as plain UTF-8 strings, parted by '/' (and by '\' where the system uses it).
// `name` inside `folder` ("" is the current folder).
std::string JoinPath(const std::string& folder, const std::string& name);
// The folder part of `path` ("" when it has none) and its last part.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);
