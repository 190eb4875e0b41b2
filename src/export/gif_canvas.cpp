#include "export/gif_canvas.h"

#include <algorithm>

void GifCanvas::PassFrame(const GifFrameSource& source, uint32_t index,
                          const GifPlannedFrame& frame, const std::array<uint16_t, 256>& written) {
    // Outside the rectangle the canvas already shows the frame; inside it shows the frame
    // once drawn, and then the disposal decides.
    if (frame.disposal == GifDisposal::Restore) return;
    for (uint32_t y = frame.top; y < uint32_t{frame.top} + frame.height; ++y) {
        uint16_t* row = Row(y) + frame.left;
        if (frame.disposal == GifDisposal::Clear) {
            std::fill(row, row + frame.width, kClear);
            continue;
        }
        const uint8_t* shown = source.rowAt(index, y) + frame.left;
        for (uint32_t x = 0; x < frame.width; ++x) row[x] = written[shown[x]];
    }
}
