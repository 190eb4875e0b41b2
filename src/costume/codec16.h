// Codec 16: a byte N, the first pixel's colour, then bit codes read least significant bit
// first, one after each pixel, saying what the next pixel holds. The image is one sequence of
// width x height pixels: rows follow each other without a gap, even in the bit stream.
#pragma once

#include <cstdint>

#include "common/byte_view.h"
#include "costume/shown_area.h"

// The codes, bits in the order taken: 0 keeps the colour; 1 0 then N bits sets it; 1 1 then
// a 3-bit c steps it by c - 4, except c = 4 (a step of nothing), which is followed by an
// 8-bit count r: r pixels in all (256 for 0) in the current colour, with no code between.
constexpr uint32_t kCodec16RepeatCode = 4;
constexpr int kCodec16CodeBits = 3;
constexpr int kCodec16RepeatCountBits = 8;
constexpr uint32_t kCodec16MaxRepeat = 256;

// Decodes `data` into `pixels` (width x height bytes, rows from the top). Never fails and
// never reads outside `data`; pixels the data does not reach are 0.
// Only `shown` needs to be exact: the rows below it may be left 0.
void DecodeCodec16(ByteView data, uint16_t width, uint16_t height, uint8_t* pixels,
                   ShownArea shown = {});
