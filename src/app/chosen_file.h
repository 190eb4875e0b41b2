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
