// The path GTK's file chooser hands back, read as the shell takes a choice: the full path
// with the offsets of its file name and of its extension, as the Windows open dialog reports.
#pragma once

#include <string>

#include "app/frontend.h"

// The file name begins after the last '/'; the extension after the last '.' of the file name
// (0 when the name has none). A dot in a directory name never counts.
ChosenFile ChosenFileFromChooserPath(const std::string& path);
