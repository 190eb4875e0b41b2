// The rows the PNG and GIF writers ask for, made from a costume's rendered frames: a frame
// widened by whole-pixel replication, a sprite sheet's rows built one at a time from the
// frames of the band they cross, and an animation's frames on a screen that holds them all.
// No picture larger than one frame is ever held whole.
#pragma once

#include <cstdint>
#include <vector>

#include "export/sheet_layout.h"

// A rendered frame kept for a sheet or a GIF; its palette is the costume's.
struct KeptFrame {
    uint16_t number = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    std::vector<uint8_t> pixels;
};

// Widens a row of indices by whole-pixel replication: width x scale bytes into `target`.
void PutScaledRow(const uint8_t* source, uint32_t width, uint32_t scale, uint8_t* target);

// The sheet's rows, top first, each valid until the next call.
struct SheetRows {
    const SheetLayout& layout;
    const std::vector<KeptFrame>& frames;  // the layout's cells, in order
    uint32_t scale;
    uint8_t background;
    std::vector<uint8_t> row = std::vector<uint8_t>(static_cast<size_t>(layout.width));
    size_t band = 0;

    const uint8_t* At(uint32_t y);
};

// Each frame scaled at the top-left of a screen of `width` (already scaled), background
// around it; rows in any order.
struct AnimationRows {
    const std::vector<KeptFrame>& frames;
    uint32_t width;
    uint32_t scale;
    uint8_t background;
    std::vector<uint8_t> row = std::vector<uint8_t>(width);

    const uint8_t* At(uint32_t frame, uint32_t y);
};
