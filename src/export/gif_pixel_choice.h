// Where an unchanged pixel of a frame's rectangle may be written either as its colour or as
// the frame's transparent index, chooses the one that lets giflib's encoder match longer
// strings: from each point, the longest way through the encoder's table, taken whole. The
// search is bounded, so a row costs at most a fixed number of lookups a pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "export/gif_string_table.h"

struct GifPixelChooser {
    // Lookups of one search: past this the longest found so far is taken.
    static constexpr int kSearchBudget = 12;

    GifStringTable table;  // the encoder's, as it is after every pixel chosen so far

    void Start(uint32_t colourBits) { table.Start(colourBits); }
    // Writes into `chosen` the row of `plain` (each pixel as its colour, width of them)
    // with the pixels equal to `before` (the canvas they are drawn over) as their colour or
    // `transparent`, and puts the row through the table.
    void ChooseRow(const uint8_t* plain, const uint16_t* before, uint32_t width,
                   uint8_t transparent, uint8_t* chosen);

private:
    struct Row {
        const uint8_t* plain;
        const uint16_t* before;
        uint32_t width;
        uint8_t transparent;
        // Either value shows the same: the canvas already shows the colour.
        bool Either(uint32_t x) const { return plain[x] == before[x] && plain[x] != transparent; }
    };

    // The longest string from `code` on through pixels x and after, into `best_`.
    void Search(const Row& row, uint32_t code, uint32_t x, uint32_t length);
    // How far a string starting with `first` at pixel x reaches.
    uint32_t ReachFrom(const Row& row, uint8_t first, uint32_t x);

    int budget_ = 0;
    std::vector<uint8_t> path_, best_;  // the pixels of the way being tried, and the longest
    std::vector<int32_t> pathCodes_, bestCodes_;  // the table's code after each of them
    uint32_t bestLength_ = 0;
};
