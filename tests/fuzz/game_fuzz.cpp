// A whole game through open and every costume: the index file and disk files cut from one
// input (see game_input.h), opened as File > Open does, then every costume and its frames
// browsed on the shell's own screen.
#include <algorithm>

#include "app/open_command.h"
#include "app/process_objects.h"
#include "fuzz_support.h"
#include "game_input.h"

namespace {

// Enough costumes to reach every disk and several rooms; more would only repeat them.
constexpr uint32_t kMaxCostumes = 16;
constexpr DrawBudget kBudget{size_t{1} << 16, size_t{1} << 18, 1};

// The file of each slot: written when the input has it, removed when it has not.
void WriteGameFiles(const GameInput& input) {
    static bool written[10] = {};
    for (int slot = 0; slot < 10; ++slot) {
        const std::string name = GameFileName("G", slot);
        if (input.present[slot]) {
            WriteScratchFile(name, input.slots[slot].data, input.slots[slot].size);
        } else if (written[slot]) {
            RemoveScratchFile(name);
        }
        written[slot] = input.present[slot];
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Require(g_screen.Create(), "the screen is created");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteGameFiles(SplitGameInput(data, size));
    const bool opened = OpenGame(ScratchFolderName(), "G");
    if (!opened) {
        RequireOneMessageOnFailure(false, "Opening a game");
        ReleaseViewer();
        return 0;
    }
    // Costume 1 was selected and drawn on opening; that may have failed once.
    Require(TakeMessageCount() <= 1, "opening says at most one thing");
    DrawBudget budget = kBudget;
    const uint32_t costumes = std::min(g_viewer->CostumeCount(), kMaxCostumes);
    for (uint32_t costume = 1; costume < costumes; ++costume) {
        g_viewer->SelectCostume(costume);
        Require(TakeMessageCount() <= 1, "selecting a costume says at most one thing");
        DrawEveryFrame(*g_viewer, g_screen, budget);
    }
    ReleaseViewer();
    return 0;
}
