// The demo game: the demo costumes in eight rooms over three disk files, for trying the
// viewer and the command-line tool without a game of one's own.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "authoring/game_writer.h"
#include "demo/demo_costumes.h"

// The game's layout over `costumes`: rooms 1 to 4 lie on disk 1, rooms 5 to 7 on disk 2, and
// room 8 on disk 3, whose file is never written, so that its costume is not present. False,
// with `error` naming the costume, when a codec refuses one of its frames.
bool MakeDemoLayout(const std::vector<DemoCostume>& costumes, GameLayout* layout,
                    std::string* error);

// Writes DEMO.LA0, DEMO.LA1 and DEMO.LA2 into `directory` (created when missing). False with
// `error` set when a costume or a file cannot be written.
bool WriteDemoGame(const std::filesystem::path& directory, std::string* error);
