// Costume::Render, the decoding the viewer does on every key press, for each codec on a
// walking figure (64 x 96) and a full-screen crowd of them (320 x 200).
#include <benchmark/benchmark.h>

#include "costume/costume.h"
#include "walking_figures.h"

namespace {

void BM_Render(benchmark::State& state) {
    const auto codec = static_cast<uint16_t>(state.range(0));
    const auto width = static_cast<uint16_t>(state.range(1));
    const auto height = static_cast<uint16_t>(state.range(2));
    const CostumeDesign design = WalkingFigures(codec, width, height, 1);
    const std::vector<uint8_t> block = BuildCostumeBlock(design);
    Costume costume(ByteView{block.data(), block.size()});
    IndexedImage image;
    // Timing a decoder that gives up early would flatter it.
    if (!costume.Parse() || !costume.SelectFrame(1) || !costume.Render(&image, 0, 0) ||
        image.pixels != design.frames[0].pixels) {
        state.SkipWithError("the figure does not come back from its costume");
        return;
    }
    for (auto _ : state) {
        costume.Render(&image, 0, 0);
        benchmark::DoNotOptimize(image.pixels.data());
        benchmark::ClobberMemory();
    }
    state.counters["pixels"] = benchmark::Counter(static_cast<double>(width) * height,
                                                  benchmark::Counter::kIsIterationInvariantRate);
    state.counters["bytes"] = static_cast<double>(block.size());
}

BENCHMARK(BM_Render)
    ->ArgNames({"codec", "w", "h"})
    ->Args({1, 64, 96})
    ->Args({5, 64, 96})
    ->Args({16, 64, 96})
    ->Args({1, 320, 200})
    ->Args({5, 320, 200})
    ->Args({16, 320, 200});

}  // namespace
