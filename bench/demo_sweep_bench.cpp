// Every frame of the demo game drawn through the shell, as the viewer shows it: the keys that
// step through each costume's frames and on to the next costume, the picture painted after
// each. The native side of the browser's figure (tests/browser/frames.bench.mjs presses the
// same keys in the page's WebAssembly); wall time, as the page can only measure that.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/shell.h"
#include "archive/game_archive.h"
#include "costume/costume.h"
#include "demo/demo_game.h"
#include "frontends/headless/headless_frontend.h"
#include "support/temp_dir.h"

namespace {

// From costume 1, frame 1: right to each costume's last frame, then up to the next costume.
// The page builds the same list from `duzuroro-cli info --json`.
std::vector<uint32_t> SweepKeys(const std::string& folder) {
    GameArchive archive(folder, "DEMO");
    std::vector<uint32_t> keys;
    if (!archive.Open()) return keys;
    std::vector<uint8_t> block;
    for (uint32_t number = 1; number < archive.costumeDirectory.count; ++number) {
        if (number > 1) keys.push_back(KEY_UP);
        if (archive.LoadCostume(&block, number) != CostumeLoadResult::Loaded) continue;
        Costume costume(ByteView{block.data(), block.size()});
        if (!costume.Parse()) continue;
        for (uint32_t frame = 1; frame < costume.FrameCount(); ++frame) keys.push_back(KEY_RIGHT);
    }
    return keys;
}

void BM_DemoEveryFrame(benchmark::State& state) {
    TempDir dir;
    std::string error;
    if (!WriteDemoGame(dir.path, &error) || !HeadlessStart()) {
        state.SkipWithError("no demo game or no screen");
        return;
    }
    const std::string index = dir.WithSeparator() + "DEMO.LA0";
    const std::vector<uint32_t> keys = SweepKeys(dir.WithSeparator());
    for (auto _ : state) {
        state.PauseTiming();
        g_headless.Clear();
        HeadlessOpen(index);
        state.ResumeTiming();
        for (uint32_t key : keys) HeadlessPressKey(key);
        benchmark::DoNotOptimize(g_headless.picture.data());
    }
    HeadlessStop();
    state.counters["keys"] = static_cast<double>(keys.size());
}

BENCHMARK(BM_DemoEveryFrame)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
