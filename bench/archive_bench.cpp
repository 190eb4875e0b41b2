// GameArchive::LoadCostume: finding a costume through the directories and reading its block
// from a disk file, in a game of two disks written to a temporary directory.
#include <benchmark/benchmark.h>

#include <iterator>
#include <string>
#include <vector>

#include "archive/game_archive.h"
#include "authoring/game_writer.h"
#include "support/temp_dir.h"
#include "walking_figures.h"

namespace {

constexpr uint32_t kCostumes = 24;
constexpr uint16_t kCodecs[] = {1, 5, 16};

// Rooms 1 and 2 on disk 1, rooms 3 and 4 on disk 2; costume 0 is the unused first entry.
// Three blocks, one a codec, serve every costume: encoding is not what is measured here.
GameLayout MakeLayout() {
    std::vector<uint8_t> blocks[std::size(kCodecs)];
    for (size_t i = 0; i < std::size(kCodecs); ++i)
        blocks[i] = WalkingFiguresBlock(kCodecs[i], 64, 96, 16);
    GameLayout layout;
    layout.roomDisks = {0, 1, 1, 2, 2};
    layout.costumes.push_back({});
    for (uint32_t c = 1; c < kCostumes; ++c)
        layout.costumes.push_back({static_cast<uint8_t>(1 + c % 4), blocks[c % 3]});
    return layout;
}

void BM_LoadCostume(benchmark::State& state) {
    TempDir dir;
    const std::string folder = dir.WithSeparator();
    std::string error;
    if (!WriteGame(dir.path, "BENCH", MakeLayout(), &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    GameArchive archive(folder, "BENCH");
    if (!archive.Open()) {
        state.SkipWithError("the game does not open");
        return;
    }
    std::vector<uint8_t> block;
    uint32_t costume = 1;
    size_t bytes = 0;
    for (auto _ : state) {
        if (archive.LoadCostume(&block, costume) != CostumeLoadResult::Loaded) {
            state.SkipWithError("a costume did not load");
            break;
        }
        bytes += block.size();
        costume = costume % (kCostumes - 1) + 1;
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

BENCHMARK(BM_LoadCostume);

}  // namespace
