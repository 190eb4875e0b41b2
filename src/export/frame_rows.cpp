#include "export/frame_rows.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

void PutScaledRow(const uint8_t* source, uint32_t width, uint32_t scale, uint8_t* target) {
    if (scale == 1) {
        std::memcpy(target, source, width);
        return;
    }
    for (uint32_t x = 0; x < width; ++x) {
        uint8_t* pixel = target + size_t{x} * scale;
        for (uint32_t copy = 0; copy < scale; ++copy) pixel[copy] = source[x];
    }
}

const uint8_t* SheetRows::At(uint32_t y) {
    std::fill(row.begin(), row.end(), background);
    // Rows are asked for top first: the band only moves down.
    while (band < layout.bands.size() && y >= layout.bands[band].y + layout.bands[band].height) {
        ++band;
    }
    if (band == layout.bands.size() || y < layout.bands[band].y) return row.data();
    const SheetLayout::Band& current = layout.bands[band];
    for (size_t i = current.firstCell; i < current.firstCell + current.cellCount; ++i) {
        const SheetLayout::Cell& cell = layout.cells[i];
        if (y >= cell.y + cell.height) continue;
        const KeptFrame& frame = frames[i];
        const auto sourceRow = static_cast<size_t>((y - cell.y) / scale);
        PutScaledRow(&frame.pixels[sourceRow * frame.width], frame.width, scale,
                     &row[static_cast<size_t>(cell.x)]);
    }
    return row.data();
}

const uint8_t* AnimationRows::At(uint32_t index, uint32_t y) {
    // Only what the frame leaves of the screen's width is background.
    const KeptFrame& frame = frames[index];
    size_t filled = 0;
    if (y < uint32_t{frame.height} * scale) {
        PutScaledRow(&frame.pixels[size_t{y / scale} * frame.width], frame.width, scale,
                     row.data());
        filled = size_t{frame.width} * scale;
    }
    std::fill(row.begin() + static_cast<std::ptrdiff_t>(filled), row.end(), background);
    return row.data();
}
