// The baselines every figure is measured against, in the same binary and the same run:
// memset and memcpy of the bytes that a screen's worth of pixels takes, at one byte a pixel
// (a frame, the back buffer) and at four (the painted window).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

void BM_Memset(benchmark::State& state) {
    std::vector<uint8_t> to(static_cast<size_t>(state.range(0)));
    uint8_t value = 0;
    for (auto _ : state) {
        std::memset(to.data(), ++value, to.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

void BM_Memcpy(benchmark::State& state) {
    std::vector<uint8_t> from(static_cast<size_t>(state.range(0)), 7);
    std::vector<uint8_t> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_Memset)->Arg(640 * 480);
BENCHMARK(BM_Memcpy)->Arg(640 * 480)->Arg(640 * 480 * 4);

}  // namespace
