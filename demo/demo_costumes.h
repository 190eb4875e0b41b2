// The demo game's costumes: small animations drawn procedurally, over the three codecs and
// several colour counts, for trying the viewer and the command-line tool.
#pragma once

#include <cstdint>
#include <vector>

#include "costume/costume_builder.h"

struct DemoCostume {
    const char* name;
    uint8_t room;
    CostumeDesign design;
};

// Costumes 1 onwards, in their order in the game.
std::vector<DemoCostume> DesignDemoCostumes();
