// One costume read from a game: the block the archive hands over and the `Costume` parsed
// over it. The costume points into the block, so the two are released together, costume
// first; this is the one place that order is written. Every program that shows or writes a
// costume loads it here, and says in the same words why one is not loaded.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "archive/game_archive.h"
#include "costume/costume.h"

// A line of text formatted into a buffer of its own: nothing to allocate, nothing to fail.
struct StatusText {
    char text[256] = {};
};

// "Costume 7 is not present on this disk.": the costume's room is on no open disk.
StatusText NotPresentText(uint32_t costume);
// "loaded", "not-present" or "failed": the outcome as listings and pages name it.
const char* LoadResultName(CostumeLoadResult result);

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
    // Load, saying why not when the costume is not loaded: for NotPresent `whyNot` gets
    // NotPresentText, for Failed it is left empty (the one message has been reported).
    CostumeLoadResult LoadOrSayWhyNot(GameArchive& archive, uint32_t number, StatusText* whyNot);
    // The costume, then its block. Repeats harmlessly.
    void Release();
    bool Loaded() const { return costume != nullptr; }
};
