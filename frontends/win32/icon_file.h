// The program icon as a Windows .ico file: every size the program carries, largest first,
// at 8 bits per pixel, with a mask that lets the background through where the icon is
// transparent. Platform-free, so that any build can write the file the resource script uses.
#pragma once

#include <cstdint>
#include <vector>

// The bytes of the .ico; empty if an icon size cannot be drawn.
std::vector<uint8_t> BuildIconFile();
