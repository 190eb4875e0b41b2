#include "export/costume_preview.h"

#include <cstring>

#include "costume/costume_palette.h"
#include "display/indexed_image.h"

bool PreviewFrame(Costume& costume, uint16_t frame, std::optional<uint8_t> transparent,
                  RgbaFrame* out) {
    IndexedImage image;
    if (!costume.SelectFrame(frame) || !costume.Render(&image, 0, 0)) return false;
    const CostumePalette palette = PaletteOf(costume);
    const size_t pixels = size_t{image.width} * image.height;
    out->width = image.width;
    out->height = image.height;
    out->rgba.resize(pixels * 4);
    uint8_t* at = out->rgba.data();
    for (size_t i = 0; i < pixels; ++i, at += 4) {
        const uint8_t index = image.pixels[i];
        std::memcpy(at, &palette[size_t{index} * 3], 3);
        at[3] = transparent == index ? 0 : 255;
    }
    return true;
}

std::array<uint8_t, 256 * 3> PreviewPalette(const Costume& costume) {
    static_assert(sizeof(CostumePalette) == 256 * 3, "the exports' palette has 256 entries");
    return PaletteOf(costume);
}
