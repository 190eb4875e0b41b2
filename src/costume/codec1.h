// Codec 1: runs of one colour laid down column by column, each column top to bottom, a run
// going on from the bottom of one column to the top of the next. A run byte holds the colour
// in its high bits and the length in its low bits; a length of 0 there means the length is
// in the next byte (0 to 255, where 0 is an empty run).
#pragma once

#include <cstdint>

#include "common/byte_view.h"
#include "costume/shown_area.h"

// How many low bits of a run byte hold the length: 3 for 32 colours, 2 for 64, 4 for any
// other colour count. The colour is the run byte shifted right by as many bits.
constexpr uint32_t Codec1LengthBits(uint32_t colourCount) {
    return colourCount == 32 ? 3 : colourCount == 64 ? 2 : 4;
}

// The longest run that one length byte holds.
constexpr uint32_t kCodec1MaxLongRun = 255;

// Decodes `data` into `pixels` (width x height bytes, rows from the top). Never fails and
// never reads outside `data`; pixels the data does not reach are 0.
// Only `shown` needs to be exact: the columns to its right may be left 0.
void DecodeCodec1(ByteView data, uint32_t colourCount, uint16_t width, uint16_t height,
                  uint8_t* pixels, ShownArea shown = {});
