// Puts the current frame on the screen: rendered, doubled when zoomed, at the top-left
// corner, under the status line.
#include <algorithm>
#include <cstring>

#include "viewer/costume_viewer.h"
#include "viewer/viewer_texts.h"

namespace {

// Only this much of a frame can be seen once doubled; doubling more would be thrown away,
// and a frame wider or taller than 32767 pixels could not be doubled within 16 bits at all.
constexpr uint16_t kZoomWidth = Screen::kWidth / 2;
constexpr uint16_t kZoomHeight = Screen::kHeight / 2;

// The top-left part of `source` that the screen shows, with every pixel as a 2 x 2 block.
bool MakeDoubled(const IndexedImage& source, IndexedImage* doubled) {
    const uint16_t width = std::min(source.width, kZoomWidth);
    const uint16_t height = std::min(source.height, kZoomHeight);
    const size_t doubledWidth = size_t{2} * width;
    if (!doubled->Create(source.x * 2, source.y * 2, static_cast<uint16_t>(doubledWidth),
                         static_cast<uint16_t>(2 * height), source.paletteCount)) {
        return false;
    }
    std::copy(source.palette.begin(), source.palette.end(), doubled->palette.begin());
    // A frame with rows but no columns has no pixels to point into, not even to copy nothing.
    if (width == 0) return true;
    for (size_t row = 0; row < height; ++row) {
        const uint8_t* from = source.pixels.data() + row * source.width;
        uint8_t* to = doubled->pixels.data() + 2 * row * doubledWidth;
        for (size_t column = 0; column < width; ++column) {
            to[2 * column] = from[column];
            to[2 * column + 1] = from[column];
        }
        std::memcpy(to + doubledWidth, to, doubledWidth);
    }
    return true;
}

}  // namespace

void CostumeViewer::Draw(Screen& screen) {
    if (!costumeLoaded || !frameLoaded) return;
    IndexedImage image;
    if (!loaded.costume->Render(&image, 0, 0)) {
        screen.Clear();
        screen.DrawText("Failed to draw frame.");
        return;
    }
    if (zoom) {
        IndexedImage doubled;
        if (!MakeDoubled(image, &doubled)) return;
        screen.Clear();
        screen.DrawImage(doubled);
    } else {
        screen.Clear();
        screen.DrawImage(image);
    }
    const Costume& costume = *loaded.costume;
    screen.DrawText(
        FrameStatusText(costumeNumber, costume.currentFrame, costume.FrameCount()).text);
}
