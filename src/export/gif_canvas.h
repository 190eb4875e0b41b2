// What a browser shows of an animated GIF between two frames, pixel by pixel: an index of
// the colour table or clear. The planner and the writer keep one each, at written size, to
// know which pixels a frame changes. Indices are those written, not those rendered.
#pragma once

#include <cstdint>
#include <array>
#include <vector>

#include "export/gif_frame_plan.h"

struct GifCanvas {
    static constexpr uint16_t kClear = GifFramePlan::kClear;

    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint16_t> pixels;  // rows top first; starts clear, as a browser's does

    GifCanvas(uint32_t canvasWidth, uint32_t canvasHeight)
        : width(canvasWidth), height(canvasHeight),
          pixels(size_t{canvasWidth} * canvasHeight, kClear) {}

    uint16_t* Row(uint32_t y) { return &pixels[size_t{y} * width]; }

    // Moves on from before frame `index` to what the next frame is drawn over, once `frame`
    // has shown that frame of `source` exactly and been disposed of; `written` maps rendered
    // indices to the canvas's.
    void PassFrame(const GifFrameSource& source, uint32_t index, const GifPlannedFrame& frame,
                   const std::array<uint16_t, 256>& written);
};
