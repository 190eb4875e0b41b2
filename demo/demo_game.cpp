#include "demo/demo_game.h"

bool MakeDemoLayout(const std::vector<DemoCostume>& costumes, GameLayout* layout,
                    std::string* error) {
    layout->roomDisks = {0, 1, 1, 1, 1, 2, 2, 2, 3};
    layout->absentDisks = {3};
    layout->costumes = {GameCostume{}};  // costume 0, which the viewer never shows
    for (const DemoCostume& costume : costumes) {
        std::vector<uint8_t> block = BuildCostumeBlock(costume.design);
        // An empty block would be written as a costume with no data: a game that looks
        // whole but is not.
        if (block.empty()) {
            *error = std::string("The demo costume \"") + costume.name + "\" cannot be encoded.";
            return false;
        }
        layout->costumes.push_back(GameCostume{costume.room, std::move(block)});
    }
    return true;
}

bool WriteDemoGame(const std::filesystem::path& directory, std::string* error) {
    GameLayout layout;
    return MakeDemoLayout(DesignDemoCostumes(), &layout, error) &&
           WriteGame(directory, "DEMO", layout, error);
}
