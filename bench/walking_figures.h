// The frames the benchmarks measure: the demo game's walking figure, so that every codec
// meets the runs and changes of a real costume rather than one flat colour.
#pragma once

#include <cstdint>
#include <vector>

#include "authoring/costume_builder.h"

// `frames` frames of `width` x `height` in `codec`, with the figure's 32 colours. Frame i
// shows the figure's steps side by side in rows, the first of them step i: at 64 x 96 that
// is step i alone, at 320 x 200 a crowd that fills the frame.
CostumeDesign WalkingFigures(uint16_t codec, uint16_t width, uint16_t height, uint32_t frames);

// The same as a VERM block; empty when the builder refused it.
std::vector<uint8_t> WalkingFiguresBlock(uint16_t codec, uint16_t width, uint16_t height,
                                         uint32_t frames);
