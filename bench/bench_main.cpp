// The benchmarks' entry: Google Benchmark's own, and the games scripts/bench.sh times the
// command-line tool on:
//   --write-big-game DIR COUNT   a game of COUNT costumes (base name BIG)
//   --write-bench-game DIR       the benchmark game (base name BENCH, see bench_game.h)
//   --bench-game-version         prints the benchmark game's version, the key of its cache
//   --check-bench-game           checks one cycle of the benchmark game (bench_game_check.h)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench_game.h"
#include "bench_game_check.h"
#include "big_game.h"

int main(int argc, char** argv) {
    std::string error;
    if (argc == 4 && std::strcmp(argv[1], "--write-big-game") == 0) {
        if (WriteBigGame(argv[2], "BIG", static_cast<uint32_t>(std::stoul(argv[3])), &error))
            return 0;
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "--write-bench-game") == 0) {
        if (WriteBenchGame(argv[2], "BENCH", &error)) return 0;
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (argc == 2 && std::strcmp(argv[1], "--bench-game-version") == 0) {
        std::printf("%u\n", kBenchGameVersion);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--check-bench-game") == 0) {
        if (CheckBenchGameCycle(&error)) return 0;
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
