// Costume::Render, the decoding the viewer does on every key press: each codec on walking
// figures (64 x 96, and a 320 x 200 crowd of them), and the hardest pictures of each codec
// at the full 640 x 480.
#include <benchmark/benchmark.h>

#include "costume/costume.h"
#include "walking_figures.h"

namespace {

constexpr uint16_t kWidth = 640;
constexpr uint16_t kHeight = 480;

void MeasureRender(benchmark::State& state, const CostumeDesign& design) {
    const std::vector<uint8_t> block = BuildCostumeBlock(design);
    Costume costume(ByteView{block.data(), block.size()});
    IndexedImage image;
    // Timing a decoder that gives up early would flatter it.
    if (!costume.Parse() || !costume.SelectFrame(1) || !costume.Render(&image, 0, 0) ||
        image.pixels != design.frames[0].pixels) {
        state.SkipWithError("the picture does not come back from its costume");
        return;
    }
    for (auto _ : state) {
        costume.Render(&image, 0, 0);
        benchmark::DoNotOptimize(image.pixels.data());
        benchmark::ClobberMemory();
    }
    const CostumeFrame& frame = design.frames[0];
    state.counters["pixels"] = static_cast<double>(frame.width) * frame.height;
    state.counters["bytes"] = static_cast<double>(block.size());
}

void BM_Render(benchmark::State& state) {
    const auto codec = static_cast<uint16_t>(state.range(0));
    const auto width = static_cast<uint16_t>(state.range(1));
    const auto height = static_cast<uint16_t>(state.range(2));
    MeasureRender(state, WalkingFigures(codec, width, height, 1));
}

BENCHMARK(BM_Render)
    ->ArgNames({"codec", "w", "h"})
    ->Args({1, 64, 96})
    ->Args({5, 64, 96})
    ->Args({16, 64, 96})
    ->Args({1, 320, 200})
    ->Args({5, 320, 200})
    ->Args({16, 320, 200});

// A picture of 256 colours, 640 x 480, drawn by `colourAt(x, y)`.
CostumeDesign Picture(uint16_t codec, uint32_t colourCount, uint8_t (*colourAt)(size_t, size_t)) {
    CostumeDesign design;
    design.codec = codec;
    design.codec16Bits = 8;
    design.colours.assign(size_t{3} * colourCount, 0x80);
    CostumeFrame frame{kWidth, kHeight, std::vector<uint8_t>(size_t{kWidth} * kHeight)};
    for (size_t y = 0; y < kHeight; ++y)
        for (size_t x = 0; x < kWidth; ++x) frame.pixels[y * kWidth + x] = colourAt(x, y);
    design.frames.push_back(std::move(frame));
    return design;
}

// Codec 16 at its slowest: every pixel a colour given in full, 10 bits each.
void BM_Codec16Literals(benchmark::State& state) {
    MeasureRender(state, Picture(16, 256, [](size_t x, size_t y) {
                      return static_cast<uint8_t>((y * kWidth + x) * 37);
                  }));
}

// Codec 1 at its slowest: the colour changes at every pixel down the columns, so every run
// is one pixel long.
void BM_Codec1SinglePixelRuns(benchmark::State& state) {
    MeasureRender(state, Picture(1, 16, [](size_t x, size_t y) {
                      return static_cast<uint8_t>(1 + (x + y) % 2);
                  }));
}

// Codec 5 on one flat colour: the longest fill runs, nothing but writing.
void BM_Codec5Flat(benchmark::State& state) {
    MeasureRender(state, Picture(5, 16, [](size_t, size_t) { return uint8_t{7}; }));
}

BENCHMARK(BM_Codec16Literals);
BENCHMARK(BM_Codec1SinglePixelRuns);
BENCHMARK(BM_Codec5Flat);

}  // namespace
