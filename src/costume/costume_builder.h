// Makes costume blocks: encoders for the three codecs and a VERM builder with its eight
// sub-blocks. Used by the tests and by the demo game.
#pragma once

#include <cstdint>
#include <vector>

struct CostumeFrame {
    uint16_t width = 0;
    uint16_t height = 0;
    std::vector<uint8_t> pixels;  // width x height colour indices, top row first
};

struct CostumeDesign {
    uint16_t codec = 1;               // 1, 5 or 16
    std::vector<uint8_t> colours;     // RGB triples; their count is the colour count (VEPL)
    std::vector<CostumeFrame> frames;
    uint8_t codec16Bits = 0;          // N for codec 16; 0 picks the fewest that fit
};

std::vector<uint8_t> EncodeCodec1(const CostumeFrame& frame, uint32_t colourCount);
std::vector<uint8_t> EncodeCodec5(const CostumeFrame& frame);
std::vector<uint8_t> EncodeCodec16(const CostumeFrame& frame, uint8_t bits);

// The whole VERM block, header included.
std::vector<uint8_t> BuildCostumeBlock(const CostumeDesign& design);
