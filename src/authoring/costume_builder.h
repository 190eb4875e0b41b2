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
    uint16_t codec = 1;            // 1, 5 or 16
    std::vector<uint8_t> colours;  // RGB triples; their count is the colour count (VEPL)
    std::vector<CostumeFrame> frames;
    uint8_t codec16Bits = 0;  // N for codec 16; 0 picks the fewest that fit, per frame
};

// The encoders never alter a picture to make it fit: a frame that their encoding cannot hold
// is refused with an empty result. A frame that has pixels never encodes to nothing, so an
// empty result for it always means refusal. Every encoder refuses a frame whose pixels are
// not width x height bytes.

// Runs down the columns. Refuses a colour that needs more than the colour bits that
// `colourCount` gives (5 for 32, 6 for 64, 4 for any other count).
std::vector<uint8_t> EncodeCodec1(const CostumeFrame& frame, uint32_t colourCount);
// One record of fill and literal runs per row. Refuses a row whose runs take more than
// 65535 bytes (only rows of nearly 65536 varied pixels).
std::vector<uint8_t> EncodeCodec5(const CostumeFrame& frame);
// Bit codes with colours given in full in `bits` bits (0 to 8). A colour that does not fit
// is still reached when it lies -4 to +3 from the pixel before it; otherwise, and for
// `bits` above 8, the frame is refused.
std::vector<uint8_t> EncodeCodec16(const CostumeFrame& frame, uint8_t bits);

// The whole VERM block, header included, with VEHD, VEPL (colour count bytes), RGBS, VESQ
// and VECH (empty), VEOF, VECI (one record per frame) and VECD. Empty when a frame is
// refused, the codec is not 1, 5 or 16, the colours are not whole triples, there are more
// than 16384 frames, or the block would outgrow 32-bit sizes.
std::vector<uint8_t> BuildCostumeBlock(const CostumeDesign& design);
