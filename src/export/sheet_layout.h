// Where each frame goes on a costume's sprite sheet: in bands (rows of cells) as a row, a
// column or a square-ish grid, scaled, with padding between the cells and around the sheet.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class SheetArrangement { Row, Column, Grid };

struct SheetLayout {
    // Larger sheets are refused: many engines and GPUs take no wider texture, and a bound on
    // the work one costume can ask for.
    static constexpr uint64_t kMaxSide = 16384;
    static constexpr uint64_t kMaxPixels = uint64_t{64} << 20;

    struct Cell {
        uint16_t frame = 0;  // the frame's number in the costume, from 1
        uint64_t x = 0, y = 0;
        uint64_t width = 0, height = 0;  // the frame's size times the scale
    };
    struct Band {
        uint64_t y = 0;
        uint64_t height = 0;  // of its tallest cell
        size_t firstCell = 0;
        size_t cellCount = 0;
    };
    struct FrameSize {
        uint16_t frame = 0;
        uint16_t width = 0;
        uint16_t height = 0;
    };

    std::vector<Cell> cells;  // in frame order, band by band
    std::vector<Band> bands;  // top to bottom
    uint64_t width = 0;
    uint64_t height = 0;

    // Places `frames` (at least one, each with pixels).
    void Place(SheetArrangement arrangement, const std::vector<FrameSize>& frames, uint32_t scale,
               uint32_t padding);
    bool WithinBounds() const {
        return width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
    }
};
