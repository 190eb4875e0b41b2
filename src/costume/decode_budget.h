// How many pixels a whole-costume job (export, sheets, GIFs, a gallery, a fuzz target) may
// decode for one costume. Each frame is bounded on its own, but a forged frame table can
// point thousands of frames at one huge size record: this bound keeps such a costume from
// taking minutes. Real costumes stay far below it (a thousand frames of 320 x 200 is a
// fifth of it). The viewer draws one frame at a time and does not need it.
#pragma once

#include <cstdint>

constexpr uint64_t kCostumeDecodePixelBudget = uint64_t{1} << 26;  // 64 Mpixel

// How much one command may decode over all the costumes it writes. A forged costume
// directory can list one costume, within its own budget, tens of thousands of times. Every
// frame looked at counts as at least kFrameDecodeCharge pixels, since each is also a file,
// a cell or a note: so this also bounds how many frames one command handles (524,288).
// A real game needs a fraction of it: three hundred costumes of two hundred frames charge
// 245 Mpixel if every frame is small.
constexpr uint64_t kRunDecodePixelBudget = uint64_t{1} << 31;  // 2 Gpixel
constexpr uint64_t kFrameDecodeCharge = 4096;
