#include "export/frame_rows.h"

#include <algorithm>
#include <cstring>

void PutScaledRow(const uint8_t* source, uint32_t width, uint32_t scale, uint8_t* target) {
    for (uint32_t x = 0; x < width; ++x) std::memset(target + size_t{x} * scale, source[x], scale);
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
    std::fill(row.begin(), row.end(), background);
    const KeptFrame& frame = frames[index];
    if (y < uint32_t{frame.height} * scale) {
        PutScaledRow(&frame.pixels[size_t{y / scale} * frame.width], frame.width, scale,
                     row.data());
    }
    return row.data();
}
