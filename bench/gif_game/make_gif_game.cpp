// Writes the animated game the GIF size comparison exports: 240 costumes of 24 frames, each
// the demo's walking figure crossing a wider frame at its own pace, in the three codecs.
// Usage: duzuroro-gif-game DIR (writes ANIM.LA0 and ANIM.LA1).
#include <cstdio>
#include <string>

#include "authoring/costume_builder.h"
#include "authoring/game_writer.h"
#include "demo/demo_costumes.h"

namespace {

constexpr uint32_t kCostumes = 240;
constexpr uint32_t kFrames = 24;

CostumeDesign Crossing(const CostumeDesign& figure, uint32_t number) {
    static const uint16_t kCodecs[] = {1, 5, 16};
    const CostumeFrame& first = figure.frames[0];
    const uint32_t pace = 1 + number % 4;  // pixels a frame
    const uint16_t width = static_cast<uint16_t>(first.width + pace * kFrames);
    CostumeDesign design{kCodecs[number % 3], figure.colours, {}, 0};
    for (uint32_t f = 0; f < kFrames; ++f) {
        const CostumeFrame& step = figure.frames[(f + number) % figure.frames.size()];
        CostumeFrame frame{width, step.height, std::vector<uint8_t>(size_t{width} * step.height)};
        for (uint32_t y = 0; y < step.height; ++y) {
            for (uint32_t x = 0; x < step.width; ++x) {
                frame.pixels[size_t{y} * width + f * pace + x] = step.pixels[size_t{y} * step.width + x];
            }
        }
        design.frames.push_back(std::move(frame));
    }
    return design;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: duzuroro-gif-game DIR\n");
        return 2;
    }
    const CostumeDesign figure = WalkingFigure();
    GameLayout layout;
    layout.roomDisks = {0, 1};
    layout.costumes.push_back({});
    for (uint32_t number = 1; number <= kCostumes; ++number) {
        layout.costumes.push_back({1, BuildCostumeBlock(Crossing(figure, number))});
        if (layout.costumes.back().block.empty()) {
            std::fprintf(stderr, "costume %u was refused\n", number);
            return 1;
        }
    }
    std::string error;
    if (!WriteGame(argv[1], "ANIM", layout, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
