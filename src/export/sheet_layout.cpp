#include "export/sheet_layout.h"

#include <algorithm>

namespace {

size_t ColumnCount(SheetArrangement arrangement, size_t frameCount) {
    switch (arrangement) {
        case SheetArrangement::Row:
            return frameCount;
        case SheetArrangement::Column:
            return 1;
        case SheetArrangement::Grid:
            break;
    }
    size_t columns = 1;
    while (columns * columns < frameCount) ++columns;
    return columns;
}

}  // namespace

void SheetLayout::Place(SheetArrangement arrangement, const std::vector<FrameSize>& frames,
                        uint32_t scale, uint32_t padding) {
    const size_t columns = ColumnCount(arrangement, frames.size());
    std::vector<uint64_t> columnWidths(columns, 0);
    for (size_t i = 0; i < frames.size(); ++i) {
        columnWidths[i % columns] =
            std::max<uint64_t>(columnWidths[i % columns], uint64_t{frames[i].width} * scale);
    }
    cells.clear();
    bands.clear();
    width = padding;
    for (uint64_t columnWidth : columnWidths) width += columnWidth + padding;
    height = padding;
    for (size_t first = 0; first < frames.size(); first += columns) {
        Band band{height, 0, first, std::min(columns, frames.size() - first)};
        uint64_t x = padding;
        for (size_t i = first; i < first + band.cellCount; ++i) {
            const Cell cell{frames[i].frame, x, band.y, uint64_t{frames[i].width} * scale,
                            uint64_t{frames[i].height} * scale};
            band.height = std::max(band.height, cell.height);
            cells.push_back(cell);
            x += columnWidths[i - first] + padding;
        }
        bands.push_back(band);
        height += band.height + padding;
    }
}

