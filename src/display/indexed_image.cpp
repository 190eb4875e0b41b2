#include "display/indexed_image.h"

#include "common/allocation.h"

bool IndexedImage::Create(int32_t newX, int32_t newY, uint16_t newWidth, uint16_t newHeight,
                          uint32_t newPaletteCount) {
    x = newX;
    y = newY;
    width = newWidth;
    height = newHeight;
    paletteCount = newPaletteCount;
    // Cleared first, so that a reused record is as defined as a fresh one.
    pixels.clear();
    palette.clear();
    if (!TryResize(pixels, static_cast<size_t>(width) * height)) return false;
    if (!TryResize(palette, static_cast<size_t>(paletteCount) * 3)) return false;
    return true;
}

void IndexedImage::Destroy() {
    std::vector<uint8_t>().swap(palette);
    std::vector<uint8_t>().swap(pixels);
}
