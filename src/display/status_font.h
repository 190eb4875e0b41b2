// The bitmap font of the status line: one 8 x 16 cell per byte, the same picture on every
// front-end. Printable ASCII has its own glyphs; every other byte shows a hollow box.
#pragma once

#include <cstdint>

constexpr int kStatusFontCellWidth = 8;
constexpr int kStatusFontCellHeight = 16;
constexpr uint8_t kStatusFontFirst = 0x20;
constexpr uint8_t kStatusFontLast = 0x7E;
constexpr int kStatusFontGlyphCount = kStatusFontLast - kStatusFontFirst + 2;  // + placeholder

// The 16 rows of the glyph for `character`, top row first, leftmost pixel in bit 7.
const uint8_t* StatusFontGlyph(uint8_t character);
