// Costume::Parse and SelectFrame: what stepping to another frame or costume costs before any
// pixel is decoded, on a costume of 48 frames of the walking figure.
#include <benchmark/benchmark.h>

#include "costume/costume.h"
#include "walking_figures.h"

namespace {

constexpr uint16_t kFrames = 48;

void BM_ParseSelectFrame(benchmark::State& state) {
    const std::vector<uint8_t> block = WalkingFiguresBlock(1, 64, 96, kFrames);
    if (block.empty()) {
        state.SkipWithError("the costume was refused");
        return;
    }
    uint16_t frame = 1;
    for (auto _ : state) {
        Costume costume(ByteView{block.data(), block.size()});
        const bool selected = costume.Parse() && costume.SelectFrame(frame);
        benchmark::DoNotOptimize(selected);
        if (!selected) {
            state.SkipWithError("a frame could not be selected");
            break;
        }
        frame = static_cast<uint16_t>(frame % kFrames + 1);
    }
}

BENCHMARK(BM_ParseSelectFrame);

}  // namespace
