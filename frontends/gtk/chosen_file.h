// The open dialog's choice as the shell takes it: the full path with the offsets of its file
// name and of its extension, the way the Windows open dialog reports them.
#pragma once

#include <string>

#include "app/frontend.h"

// The file name begins after the last '/'; the extension after the last '.' of the file name
// (0 when the name has none). A dot in a directory name never counts.
ChosenFile ChosenFileFromPath(const std::string& path);
