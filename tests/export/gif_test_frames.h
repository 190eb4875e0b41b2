// Animations for the GIF tests, written out pixel by pixel: each frame a whole logical
// screen of indices, as the exporter renders it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "export/gif_frame_plan.h"

struct GifTestFrames {
    uint16_t width = 0;
    uint16_t height = 0;
    std::optional<uint8_t> transparent;
    std::vector<std::vector<uint8_t>> frames;

    GifFrameSource Source() const {
        return {width, height, static_cast<uint32_t>(frames.size()), transparent, nullptr,
                [this](uint32_t frame, uint32_t row) {
                    return &frames[frame][size_t{row} * width];
                }};
    }
};

// A frame from one digit a pixel, rows one after the other: "0110" is 0, 1, 1, 0.
inline std::vector<uint8_t> Digits(const std::string& digits) {
    std::vector<uint8_t> pixels;
    for (char digit : digits) pixels.push_back(static_cast<uint8_t>(digit - '0'));
    return pixels;
}
