#include "walking_figures.h"

#include <cstddef>

#include "demo/demo_costumes.h"

CostumeDesign WalkingFigures(uint16_t codec, uint16_t width, uint16_t height, uint32_t frames) {
    CostumeDesign design = WalkingFigure();
    const std::vector<CostumeFrame> steps = std::move(design.frames);
    const uint32_t stepWidth = steps[0].width, stepHeight = steps[0].height;
    const uint32_t across = (width + stepWidth - 1) / stepWidth;
    design.codec = codec;
    design.frames.clear();
    for (uint32_t first = 0; first < frames; ++first) {
        CostumeFrame frame{width, height, std::vector<uint8_t>(size_t{width} * height)};
        for (uint32_t y = 0; y < height; ++y) {
            for (uint32_t x = 0; x < width; ++x) {
                const uint32_t place = y / stepHeight * across + x / stepWidth;
                const CostumeFrame& step = steps[(first + place) % steps.size()];
                frame.pixels[size_t{y} * width + x] =
                    step.pixels[size_t{y % stepHeight} * stepWidth + x % stepWidth];
            }
        }
        design.frames.push_back(std::move(frame));
    }
    return design;
}

std::vector<uint8_t> WalkingFiguresBlock(uint16_t codec, uint16_t width, uint16_t height,
                                         uint32_t frames) {
    return BuildCostumeBlock(WalkingFigures(codec, width, height, frames));
}
