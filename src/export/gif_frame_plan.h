// The plan of a small animated GIF that still shows every frame exactly: for each frame the
// rectangle that changed since the one before, how a viewer is to dispose of it, and which
// index may stand for "leave the pixel as it is"; and the smallest colour table, holding
// only the colours shown, each once, those most frames change to first. A browser
// starts on a clear canvas, and a frame can only paint over it: a pixel that must turn
// clear is cleared by the disposal of the frame before (to background or to previous).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// The frames as rendered, whole logical screens of indices fetched a row at a time.
struct GifFrameSource {
    uint16_t width = 0;
    uint16_t height = 0;
    uint32_t frameCount = 0;
    std::optional<uint8_t> transparentIndex;  // the index that shows as transparent
    const uint8_t* palette = nullptr;  // 256 x (red, green, blue); none: every index differs
    // Row `row` (top first) of frame `frame` (from 0): width indices; valid until the next call.
    std::function<const uint8_t*(uint32_t frame, uint32_t row)> rowAt;
};

// What a viewer does with a frame's rectangle before the next frame is drawn.
enum class GifDisposal : uint8_t {
    Keep,     // leave it as drawn
    Clear,    // clear it to transparent ("restore to background" as browsers do it)
    Restore,  // put back what was there before the frame ("restore to previous")
};

struct GifPlannedFrame {
    uint16_t left = 0, top = 0, width = 0, height = 0;
    GifDisposal disposal = GifDisposal::Keep;
    // An index none of the rectangle's changed pixels uses: written where the canvas is to
    // stay as it is. None when every index of the colour table is taken by a change.
    std::optional<uint8_t> transparent;
    // The rectangle holds pixels that must stay clear, so `transparent` has to be used.
    bool needsTransparent = false;
    // Of the rectangle's pixels: the highest index a changed one shows, and the highest
    // any shows (clear ones apart); whether an unchanged one shows another index than
    // `transparent`, so that writing it transparent changes anything.
    uint8_t highestChanged = 0;
    uint8_t highestShown = 0;
    bool substitutable = false;
};

struct GifFramePlan {
    static constexpr uint16_t kClear = 256;

    std::vector<GifPlannedFrame> frames;
    uint16_t colourCount = 2;  // a power of two from 2 to 256, covering every index written
    std::vector<uint8_t> colours;  // colourCount x (red, green, blue); black past those shown
    // The index written for each rendered index, or kClear for the transparent one.
    std::array<uint16_t, 256> written{};
};

// Plans every frame of `source`. Holds one canvas of the logical screen (two bytes a pixel)
// and a row; reads each frame's rows a few times. Pixels are compared as written, so two
// indices of one colour are the same pixel.
GifFramePlan PlanGifFrames(const GifFrameSource& source);

// The fewest bits that hold every index up to `highest`: an image's own code size, which
// may be below the colour table's.
uint32_t GifIndexBits(uint32_t highest);
