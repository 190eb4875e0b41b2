// The few functions a front-end supplies to the shell. Each front-end (GTK, Win32, the
// command-line tool, the headless one used by tests) links its own definitions of these;
// there is no virtual interface. All are called on the one thread that runs the shell.
#pragma once

#include "app/chosen_file.h"
#include "common/report_error.h"  // FrontendShowError: the error seam, on the ground floor
#include "display/screen_rect.h"

// Lets the user choose an index file, offering the names of kIndexFileExtensions under
// kIndexFileFilterName (app/chosen_file.h). False when the user cancelled.
bool FrontendChooseIndexFile(ChosenFile* choice);

// The back buffer changed inside `rect`: paint that part of the window again soon.
void FrontendRepaint(const ScreenRect& rect);

// Destroys the main window (File > Exit); the front-end then feeds the shell MSG_DESTROY.
void FrontendDestroyWindow();

// Ends the message loop; `exitCode` becomes the process's exit code.
void FrontendQuit(int exitCode);
