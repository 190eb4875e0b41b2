// The few functions a front-end supplies to the shell. Each front-end (GTK, Win32, the
// command-line tool, the headless one used by tests) links its own definitions of these;
// there is no virtual interface. All are called on the one thread that runs the shell.
#pragma once

#include <cstddef>
#include <string>

#include "display/screen_rect.h"

// What an open dialog reports: the full path, the offset of the file name in it, and the
// offset of the first character after the dot that begins the extension (0 when the
// name has no extension), as GetOpenFileNameA's nFileOffset and nFileExtension.
struct ChosenFile {
    std::string path;
    size_t fileOffset = 0;
    size_t extensionOffset = 0;
};

// Shows `text` under the title "Error" with the error icon and one OK button, owned by the
// main window when it exists; returns once the user has closed it.
void FrontendShowError(const char* text);

// Lets the user choose an index file ("SCUMM Index Files": *.LA0, *.HE0, *.000).
// False when the user cancelled.
bool FrontendChooseIndexFile(ChosenFile* choice);

// The back buffer changed inside `rect`: paint that part of the window again soon.
void FrontendRepaint(const ScreenRect& rect);

// Destroys the main window (File > Exit); the front-end then feeds the shell MSG_DESTROY.
void FrontendDestroyWindow();

// Ends the message loop; `exitCode` becomes the process's exit code.
void FrontendQuit(int exitCode);
