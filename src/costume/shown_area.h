// The part of a frame that will be seen: its top-left `width` x `height` pixels. A decoder
// may stop once they are exact and leave the rest of the frame 0, so that a zoomed frame,
// of which only a quarter can show, is not decoded whole.
#pragma once

#include <cstdint>

struct ShownArea {
    uint16_t width = 0xFFFF;
    uint16_t height = 0xFFFF;
};
