#include <algorithm>
#include <cstring>

#include "common/report_error.h"
#include "costume/costume.h"
#include "costume/costume_palette.h"

namespace {

// No frame of these games comes near this; a forged size record must not stall the machine.
constexpr size_t kMaxFramePixels = 16777216;

}  // namespace

bool Costume::Render(IndexedImage* image, int32_t x, int32_t y, ShownArea shown) const {
    if (currentFrame == 0) return false;
    const uint16_t width = FrameWidth();
    const uint16_t height = FrameHeight();
    if (static_cast<size_t>(width) * height > kMaxFramePixels) {
        ReportError("Frame too large.");
        return false;
    }
    if (!image->Create(x, y, width, height, kCostumePaletteEntries)) return false;

    const CostumePalette palette = PaletteOf(*this);
    std::copy(palette.begin(), palette.end(), image->palette.begin());

    switch (Codec()) {
        case 1:
            DecodeFrameWithCodec1(image->pixels.data(), shown);
            return true;
        case 5:
            DecodeFrameWithCodec5(image->pixels.data(), shown);
            return true;
        case 16:
            DecodeFrameWithCodec16(image->pixels.data(), shown);
            return true;
        default:
            ReportError("Unknown codec.");
            image->Destroy();
            return false;
    }
}
