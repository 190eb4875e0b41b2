// What an open dialog reports, and how the shell reads it: the game's directory and the
// base name its files share.
#pragma once

#include <cstddef>
#include <string>

// The full path, the offset of the file name in it, and the offset of the first character
// after the dot that begins the extension (0 when the name has no extension), as
// GetOpenFileNameA's nFileOffset and nFileExtension.
struct ChosenFile {
    std::string path;
    size_t fileOffset = 0;
    size_t extensionOffset = 0;
};

// `path` as an open dialog reports it: the file name begins after the last of `separators`,
// the extension after the name's last dot (none when the name has no dot; a dot in a
// directory name never counts).
ChosenFile ChosenFileFromPath(const std::string& path, const char* separators);

// Cuts a chosen path into the directory (with its trailing separator) and the base name.
void SplitChosenFile(const ChosenFile& choice, std::string* directory, std::string* baseName);

// What the open dialog offers: index files only, under this filter name. An index file's
// name ends in a dot and one of these extensions, in any letter case, since the file system
// the names come from ignores case.
inline constexpr char kIndexFileFilterName[] = "SCUMM Index Files";
inline constexpr const char* kIndexFileExtensions[] = {"LA0", "HE0", "000"};

// True when `name` ends in a dot and one of kIndexFileExtensions, in any letter case.
bool IsIndexFileName(const std::string& name);
