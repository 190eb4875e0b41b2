// Costume frames shaped like the figures these games show, for the benchmarks: a clear
// background around an outlined body of shaded colour areas with a little texture, so that
// every codec meets the runs and changes of a real frame rather than one flat colour.
#pragma once

#include <cstdint>
#include <vector>

#include "costume/costume_builder.h"

// Colours 0 (the background) to 31: what codec 1 holds with 32 colours.
constexpr uint32_t kFigureColours = 32;

// `pose` moves the arms and legs a little, as the frames of one walk do.
CostumeFrame MakeFigure(uint16_t width, uint16_t height, uint32_t pose);

// A VERM block of `frames` figures in `codec`; empty when the builder refused it.
std::vector<uint8_t> MakeFigureCostume(uint16_t codec, uint16_t width, uint16_t height,
                                       uint32_t frames);
