// A whole game as one fuzz input: the index file's bytes, then each disk file as the marker
// "@LA", its slot digit and its bytes. A digit outside 1 to 9 ends the file before it and
// starts none; a slot given twice keeps the later bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "authoring/game_writer.h"
#include "common/byte_view.h"

struct GameInput {
    ByteView slots[10];
    bool present[10] = {};
};

GameInput SplitGameInput(const uint8_t* data, size_t size);
// The input that splits into `files` (the disks that are empty are left out), or an empty
// one when a file holds the marker itself and could not be told apart.
std::vector<uint8_t> JoinGameInput(const GameFiles& files);
