// Games of many costumes, made by the game writer, for the cases whose cost may grow with
// the size of the game: all costumes share one small block in room 1 on disk 1.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// Writes BASE.LA0 and BASE.LA1 with `count` directory entries (costumes 1 to count - 1
// present) into `directory`. False with `error` set when it cannot.
bool WriteBigGame(const std::filesystem::path& directory, const std::string& baseName,
                  uint32_t count, std::string* error);

// The folder of a game of `count` costumes written once per run, with a trailing separator;
// the base name is BIG. Empty when it could not be written.
std::string SharedBigGame(uint32_t count);
