// One costume read from a game: the block the archive hands over and the `Costume` parsed
// over it. The costume points into the block, so the two are released together, costume
// first; this is the one place that order is written.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "archive/game_archive.h"
#include "costume/costume.h"

struct LoadedCostume {
    std::vector<uint8_t> block;        // the whole VERM block, header included
    std::unique_ptr<Costume> costume;  // present only while Loaded() is true

    LoadedCostume() = default;
    LoadedCostume(const LoadedCostume&) = delete;
    LoadedCostume& operator=(const LoadedCostume&) = delete;
    ~LoadedCostume() { Release(); }

    // Releases what is held, then reads costume `number` (below the costume directory's
    // count) and parses it. Loaded only when both succeed; a block that cannot be parsed, or
    // no memory for its `Costume`, is Failed with its one message reported, and the block is
    // kept until the next Load or Release.
    CostumeLoadResult Load(GameArchive& archive, uint32_t number);
    // The costume, then its block. Repeats harmlessly.
    void Release();
    bool Loaded() const { return costume != nullptr; }
};
