// The screen's side of a key press: DrawImage copies the rendered frame onto the back buffer,
// Compose turns the whole invalidated screen into the colours a front-end paints.
#include <benchmark/benchmark.h>

#include <vector>

#include "costume/costume.h"
#include "display/screen.h"
#include "walking_figures.h"

namespace {

// The figure as Render leaves it, centred on the screen.
bool RenderFigure(uint16_t width, uint16_t height, IndexedImage* image) {
    const std::vector<uint8_t> block = WalkingFiguresBlock(1, width, height, 1);
    Costume costume(ByteView{block.data(), block.size()});
    return costume.Parse() && costume.SelectFrame(1) &&
           costume.Render(image, (Screen::kWidth - width) / 2, (Screen::kHeight - height) / 2);
}

void BM_DrawImage(benchmark::State& state) {
    const auto width = static_cast<uint16_t>(state.range(0));
    const auto height = static_cast<uint16_t>(state.range(1));
    Screen screen;
    IndexedImage image;
    if (!screen.Create() || !RenderFigure(width, height, &image)) {
        state.SkipWithError("no screen or no figure");
        return;
    }
    for (auto _ : state) {
        screen.DrawImage(image);
        benchmark::ClobberMemory();
    }
    state.counters["pixels"] = benchmark::Counter(static_cast<double>(width) * height,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_DrawImage)->ArgNames({"w", "h"})->Args({64, 96})->Args({320, 200});

// A whole screen as the viewer leaves it: cleared, a figure, the status line.
void BM_Compose(benchmark::State& state) {
    Screen screen;
    IndexedImage image;
    if (!screen.Create() || !RenderFigure(320, 200, &image)) {
        state.SkipWithError("no screen or no figure");
        return;
    }
    screen.Clear();
    screen.DrawImage(image);
    screen.DrawText("Costume 12 of 40, frame 3 of 48");
    const ScreenRect whole{0, 0, Screen::kWidth, Screen::kHeight};
    std::vector<uint32_t> out(static_cast<size_t>(Screen::kWidth) * Screen::kHeight);
    for (auto _ : state) {
        screen.Compose(whole, out.data(), Screen::kWidth);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.counters["pixels"] = benchmark::Counter(static_cast<double>(out.size()),
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_Compose);

}  // namespace
