#include "viewer/viewer_texts.h"

#include <cstdio>

StatusText FrameStatusText(uint32_t costume, uint32_t frame, uint32_t frameCount) {
    StatusText status;
    std::snprintf(status.text, sizeof status.text, "Costume %u, Frame %u / %u",
                  static_cast<unsigned>(costume), static_cast<unsigned>(frame),
                  static_cast<unsigned>(frameCount));
    return status;
}
