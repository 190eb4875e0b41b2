// The demo game's costumes: small animations drawn procedurally, over the three codecs and
// several colour counts, for trying the viewer and the command-line tool.
#pragma once

#include <cstdint>
#include <vector>

#include "authoring/costume_builder.h"

struct DemoCostume {
    const char* name;
    uint8_t room;
    CostumeDesign design;
};

// Costumes 1 onwards, in their order in the game.
std::vector<DemoCostume> DesignDemoCostumes();

// Costume 1, on its own: 8 frames of 64 x 96 in codec 1 with 32 colours. The benchmarks
// measure it, in every codec.
CostumeDesign WalkingFigure();
