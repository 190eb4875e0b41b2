#include "costume/costume_palette.h"

#include <algorithm>
#include <cstring>

CostumePalette PaletteOf(const Costume& costume) {
    CostumePalette palette{};
    const size_t colours =
        std::min<size_t>({costume.colourCount, kCostumePaletteEntries, costume.rgbs.size / 3});
    if (colours > 0) std::memcpy(palette.data(), costume.rgbs.data, colours * 3);
    return palette;
}
