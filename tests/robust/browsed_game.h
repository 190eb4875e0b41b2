// The game the whole-session tests browse: the three codecs over two disks, and a costume
// whose disk is absent.
#pragma once

#include "viewer/viewer_fixture.h"

inline GameLayout BrowsedGame() {
    GameLayout layout;
    layout.roomDisks = {0, 1, 2, 3};
    layout.absentDisks = {3};
    layout.costumes.push_back(GameCostume{1, {}});
    const uint16_t codecs[] = {1, 5, 16};
    for (uint32_t c = 0; c < 3; ++c) {
        layout.costumes.push_back(GameCostume{static_cast<uint8_t>(1 + c % 2),
                                              BuildCostumeBlock(PatternCostume(codecs[c], 3, c))});
    }
    layout.costumes.push_back(GameCostume{3, BuildCostumeBlock(PatternCostume(1, 2, 9))});
    return layout;
}
