// A costume's 256-entry palette as the files paint programs read: a GIMP palette (.gpl),
// a JASC-PAL text file (.pal) or an Adobe colour table (.act).
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

enum class PaletteFormat { Gpl, Pal, Act };

// The extension of the format, without the dot: "gpl", "pal" or "act".
const char* PaletteExtension(PaletteFormat format);

// Writes the 256 entries (red, green, blue each) into the open file; `name` is the
// palette's name where the format has one. False with `error` set when it cannot.
bool WritePalette(std::FILE* file, PaletteFormat format, const uint8_t* palette,
                  const std::string& name, std::optional<uint8_t> transparentIndex,
                  std::string* error);
