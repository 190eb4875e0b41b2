// The texts the viewer writes on the status line, kept in one place so that the
// command-line tool says exactly what the window would.
#pragma once

#include <cstdint>

// A status line, formatted into a buffer of its own: nothing to allocate, nothing to fail.
struct StatusText {
    char text[256] = {};
};

// "Costume 7 is not present on this disk.": the costume's room is on no open disk.
StatusText NotPresentText(uint32_t costume);
// "Costume 1, Frame 2 / 3": what is shown, frames counted from 1.
StatusText FrameStatusText(uint32_t costume, uint32_t frame, uint32_t frameCount);
