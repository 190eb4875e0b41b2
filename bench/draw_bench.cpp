// One key press on the viewer: CostumeViewer::Draw renders the frame again from the costume
// block, doubles it when zoomed, clears the back buffer and puts the picture and the status
// line on it. The costume comes from a game written to a temporary directory.
#include <benchmark/benchmark.h>

#include "authoring/game_writer.h"
#include "support/temp_dir.h"
#include "viewer/costume_viewer.h"
#include "walking_figures.h"

namespace {

void BM_Draw(benchmark::State& state) {
    const auto codec = static_cast<uint16_t>(state.range(0));
    const auto width = static_cast<uint16_t>(state.range(1));
    const auto height = static_cast<uint16_t>(state.range(2));
    TempDir dir;
    GameLayout layout;
    layout.roomDisks = {0, 1};
    layout.costumes = {{}, {1, WalkingFiguresBlock(codec, width, height, 1)}};
    std::string error;
    Screen screen;
    CostumeViewer viewer;
    if (!WriteGame(dir.path, "BENCH", layout, &error) || !screen.Create() ||
        !viewer.Open(dir.WithSeparator(), "BENCH")) {
        state.SkipWithError("the game does not open");
        return;
    }
    viewer.SelectCostume(1);
    viewer.zoom = state.range(3) != 0;
    if (!viewer.costumeLoaded) {
        state.SkipWithError("the costume does not load");
        return;
    }
    for (auto _ : state) {
        viewer.Draw(screen);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_Draw)
    ->ArgNames({"codec", "w", "h", "zoom"})
    ->Args({1, 640, 480, 1})
    ->Args({5, 640, 480, 1})
    ->Args({16, 640, 480, 1})
    ->Args({16, 640, 480, 0})
    ->Args({16, 64, 96, 1});

}  // namespace
