// The benchmarks' entry: Google Benchmark's own, and `--write-big-game DIR COUNT`, which
// writes a game of COUNT costumes (base name BIG) for scripts/bench.sh to time the
// command-line tool on.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "big_game.h"

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--write-big-game") == 0) {
        std::string error;
        if (WriteBigGame(argv[2], "BIG", static_cast<uint32_t>(std::stoul(argv[3])), &error))
            return 0;
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
