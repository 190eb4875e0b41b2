// Codec 5: one record per row, from the top: a 16-bit little-endian length L, then L bytes of
// runs, the next record beginning L + 2 bytes after this one. A run opens with a control
// byte c: bit 0 set is a fill of one colour byte, clear a literal of one byte per pixel; the
// run is (c >> 1) + 1 pixels long, and cut at the row's end.
#pragma once

#include <cstdint>

#include "common/byte_view.h"
#include "costume/shown_area.h"

// The bytes of a row record's length, and the bit of a control byte that marks a fill.
constexpr uint32_t kCodec5RowLengthBytes = 2;
constexpr uint8_t kCodec5FillBit = 1;
// The longest run a control byte holds.
constexpr uint32_t kCodec5MaxRun = 128;

// Decodes `data` into `pixels` (width x height bytes, rows from the top). Never fails and
// never reads outside `data`; pixels the data does not reach are 0.
// Only `shown` needs to be exact: the rows below it may be left 0.
void DecodeCodec5(ByteView data, uint16_t width, uint16_t height, uint8_t* pixels,
                  ShownArea shown = {});
