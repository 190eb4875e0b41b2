// SHA-256 digests of what a costume shows, for `info --json --hashes`: two releases, two
// machines or two runs agree on them exactly when the decoded pixels and colours agree.
// What is hashed is fixed byte by byte, so the digests are the same on every platform.
#pragma once

#include <string>

#include "costume/costume.h"
#include "display/indexed_image.h"

// The frame's width and height, each as a 16-bit little-endian number, then its palette
// indices row by row, top row first, one byte each. 64 lower-case hex digits.
std::string FrameSha256(const IndexedImage& frame);

// The costume's own colours as frames are rendered with them: the first min(colour count,
// 256) palette entries, each red, green, blue (entries its RGBS block lacks are black).
std::string PaletteSha256(const Costume& costume);
