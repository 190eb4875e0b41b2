#include "display/indexed_image.h"

#include "common/allocation.h"

bool IndexedImage::Create(int32_t newX, int32_t newY, uint16_t newWidth, uint16_t newHeight,
                          uint32_t newPaletteCount) {
    x = newX;
    y = newY;
    width = newWidth;
    height = newHeight;
    paletteCount = newPaletteCount;
    // A reused record keeps its buffers and what they hold, so that drawing again costs no
    // allocation, page faults or zero-fill; a renderer overwrites every pixel anyway. Only
    // the part beyond the previous size is zero-filled, which leaves every byte defined.
    if (!TryResize(pixels, static_cast<size_t>(width) * height)) return false;
    if (!TryResize(palette, static_cast<size_t>(paletteCount) * 3)) return false;
    return true;
}

void IndexedImage::Destroy() {
    std::vector<uint8_t>().swap(palette);
    std::vector<uint8_t>().swap(pixels);
}
