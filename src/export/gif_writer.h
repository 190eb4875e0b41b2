// Animated GIF files: every frame covers the whole logical screen, one global colour table
// of 256 entries, the same delay on every frame, looping for ever. Rows are asked for one
// at a time, so that no frame has to be held whole at its written size.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

struct GifAnimation {
    uint16_t width = 0;  // the logical screen, which every frame covers
    uint16_t height = 0;
    uint32_t frameCount = 0;
    const uint8_t* palette = nullptr;  // 256 x (red, green, blue)
    std::optional<uint8_t> transparentIndex;
    uint16_t delay = 10;  // hundredths of a second per frame
    // Row `row` (top first) of frame `frame` (from 0): width indices, which the writer may
    // change; valid until the next call.
    std::function<uint8_t*(uint32_t frame, uint32_t row)> rowAt;
};

// Writes the animation into the open file. False with `error` set when it cannot.
bool WriteGif(std::FILE* file, const GifAnimation& animation, std::string* error);
