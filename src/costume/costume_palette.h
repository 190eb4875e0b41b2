// The 256-entry palette every frame of a costume is rendered with: its own colours first,
// the entries it does not fill black.
#pragma once

#include <array>
#include <cstdint>

#include "costume/costume.h"

constexpr uint32_t kCostumePaletteEntries = 256;
using CostumePalette = std::array<uint8_t, kCostumePaletteEntries * 3>;  // red, green, blue

// Only the colours that are present in the block and fit count.
CostumePalette PaletteOf(const Costume& costume);
