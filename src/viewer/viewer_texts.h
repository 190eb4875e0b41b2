// The texts the viewer writes on the status line, kept in one place so that the
// command-line tool says exactly what the window would. A costume not present is said in
// the words of costume/loaded_costume.h, which the export library shares.
#pragma once

#include <cstdint>

#include "costume/loaded_costume.h"

// "Costume 1, Frame 2 / 3": what is shown, frames counted from 1.
StatusText FrameStatusText(uint32_t costume, uint32_t frame, uint32_t frameCount);
