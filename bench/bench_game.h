// The benchmark game: a game of realistic size for timing the command-line tool as a game
// grows. 2,000 costumes of animated figures, 50,000 frames, over the three codecs, frames of
// 24 to 320 pixels a side and 16 to 256 colours, made by the project's own encoders and game
// writer. Deterministic: every figure is drawn from the costume's number alone.
//
// The costumes come in cycles of 40 kinds that hold 1,000 frames together, each kind once
// per cycle, so that costumes 1-40 hold exactly 1,000 frames, 1-400 exactly 10,000 and the
// whole game 50,000, each the same mix of codecs, sizes and colour counts.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "authoring/costume_builder.h"

// Raised whenever the game's pictures or layout change, so that a cached copy is made again.
constexpr uint32_t kBenchGameVersion = 1;
constexpr uint32_t kBenchKindsPerCycle = 40;
constexpr uint32_t kBenchFramesPerCycle = 1000;
constexpr uint32_t kBenchCycles = 50;
constexpr uint32_t kBenchCostumes = kBenchKindsPerCycle * kBenchCycles;

struct BenchCostumeKind {
    uint16_t codec = 1;
    uint32_t colours = 16;
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t frames = 0;
};

// The kind of costume `costume` (1 to kBenchCostumes).
BenchCostumeKind BenchKind(uint32_t costume);

// The frames and palette of costume `costume` (1 to kBenchCostumes).
CostumeDesign BenchCostume(uint32_t costume);

// Writes BASE.LA0, BASE.LA1 and BASE.LA2 (20 rooms over two disks) into `directory`, and
// beside them BASE.json: the frame count and the largest costume block, frame and costume
// (in pixels) of the costumes 1 to N for N = 40, 400 and 2,000, which scripts/bench.sh
// reads for the memory bound. False with `error` set when it cannot.
bool WriteBenchGame(const std::filesystem::path& directory, const std::string& baseName,
                    std::string* error);
