// Animated GIF files as small as their frames allow while every frame, composited as a
// browser does it, shows exactly the frame as rendered: each frame after the first keeps
// only the rectangle that changed, each unchanged pixel inside it is written as its colour
// or transparent, whichever lets the encoder match longer strings, and each image takes the
// fewest code bits its indices need under the one global colour table, cut to the colours
// used. The same delay on every frame, looping for ever. Rows are asked for a few at a time
// and may be asked again; the writer holds one canvas of the logical screen (two bytes a
// pixel), a few rows, one frame's rectangle as chosen, and three tables of the encoder's
// strings (64 KB each).
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

struct GifAnimation {
    uint16_t width = 0;  // the logical screen, which every rendered frame covers
    uint16_t height = 0;
    uint32_t frameCount = 0;
    const uint8_t* palette = nullptr;  // 256 x (red, green, blue)
    std::optional<uint8_t> transparentIndex;  // the index that shows as transparent
    uint16_t delay = 10;  // hundredths of a second per frame
    // Row `row` (top first) of frame `frame` (from 0): width indices, valid until the next
    // call. Rows are asked for in any order, and more than once.
    std::function<const uint8_t*(uint32_t frame, uint32_t row)> rowAt;
};

// Writes the animation into the open file. False with `error` set when it cannot.
bool WriteGif(std::FILE* file, const GifAnimation& animation, std::string* error);
