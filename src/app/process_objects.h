// The shell's process-wide objects, alive for the whole run: the one screen everything is
// drawn on (the display's own `g_screen`) and the current viewer. Only the shell replaces
// them; tests and the command-line tool read them to see what a session shows.
#pragma once

#include <memory>

#include "display/screen.h"
#include "viewer/costume_viewer.h"

// Null until a game has been opened; replaced by OpenGame, removed when an open fails.
extern std::unique_ptr<CostumeViewer> g_viewer;

// Resets and releases the current viewer, if there is one, closing its game's files.
void ReleaseViewer();
