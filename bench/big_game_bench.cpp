// What grows with the number of costumes: opening the game, and going straight to its last
// costume as `duzuroro-cli screen --costume` does, at 1,000, 16,384 and 65,535 costumes.
#include <benchmark/benchmark.h>

#include "archive/game_archive.h"
#include "big_game.h"
#include "viewer/costume_viewer.h"

namespace {

void BM_OpenGame(benchmark::State& state) {
    const std::string folder = SharedBigGame(static_cast<uint32_t>(state.range(0)));
    for (auto _ : state) {
        GameArchive archive(folder, "BIG");
        if (folder.empty() || !archive.Open()) {
            state.SkipWithError("the game does not open");
            break;
        }
        archive.Destroy();
    }
}

// Open, select the last costume, draw it and paint the window.
void BM_ShowLastCostume(benchmark::State& state) {
    const auto count = static_cast<uint32_t>(state.range(0));
    const std::string folder = SharedBigGame(count);
    Screen screen;
    std::vector<uint32_t> window(size_t{Screen::kWidth} * Screen::kHeight);
    if (folder.empty() || !screen.Create()) {
        state.SkipWithError("no game or no screen");
        return;
    }
    for (auto _ : state) {
        CostumeViewer viewer;
        viewer.Open(folder, "BIG");
        viewer.SelectCostume(count - 1);
        if (!viewer.costumeLoaded) {
            state.SkipWithError("the last costume does not load");
            break;
        }
        viewer.Draw(screen);
        screen.Compose({0, 0, Screen::kWidth, Screen::kHeight}, window.data(), Screen::kWidth);
        benchmark::DoNotOptimize(window.data());
    }
}

BENCHMARK(BM_OpenGame)->Arg(1000)->Arg(16384)->Arg(65535)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShowLastCostume)->Arg(1000)->Arg(16384)->Arg(65535)->Unit(benchmark::kMicrosecond);

}  // namespace
