// How many pixels a whole-costume job (export, sheets, GIFs, a gallery, a fuzz target) may
// decode for one costume. Each frame is bounded on its own, but a forged frame table can
// point thousands of frames at one huge size record: this bound keeps such a costume from
// taking minutes. Real costumes stay far below it (a thousand frames of 320 x 200 is a
// fifth of it). The viewer draws one frame at a time and does not need it.
#pragma once

#include <cstdint>

constexpr uint64_t kCostumeDecodePixelBudget = uint64_t{1} << 26;  // 64 Mpixel
