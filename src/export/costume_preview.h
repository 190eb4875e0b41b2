// A costume's frames and palette as a program shows them beside its exports: each frame
// rendered alone at its own size in the palette the exports write, as RGBA.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "costume/costume.h"

struct RgbaFrame {
    uint16_t width = 0;
    uint16_t height = 0;
    std::vector<uint8_t> rgba;  // width x height x (red, green, blue, alpha), top row first
};

// Frame `frame` of `costume` (from 1), index `transparent` with alpha 0 and every other 255.
// False, with the core's message reported, when the frame cannot be rendered.
bool PreviewFrame(Costume& costume, uint16_t frame, std::optional<uint8_t> transparent,
                  RgbaFrame* out);

// The 256 entries (red, green, blue) every export of the costume is written with.
std::array<uint8_t, 256 * 3> PreviewPalette(const Costume& costume);
