// File > Open and what it starts: the chosen index file names a game, and a new current
// viewer is made over it.
#pragma once

#include <string>

// What the screen shows while no game is open: nothing but the status line asking for a
// file, "Please open a file.".
void AskForAFile();

// Asks the front-end for an index file and opens the game it belongs to. On failure the
// current viewer is gone and the screen reads "Please open a file." again.
bool RunOpenCommand();

// Replaces the current viewer with one over the game in `directory` named `baseName`,
// shows costume 1 and returns true; false when the game cannot be opened.
bool OpenGame(const std::string& directory, const std::string& baseName);
