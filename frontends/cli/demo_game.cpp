// make-demo: the demo game's layout. Rooms 1 to 4 lie on disk 1, rooms 5 to 7 on disk 2,
// and room 8 on disk 3, whose file is never written: its costume is the one not present.
#include "archive/game_writer.h"
#include "costume/costume_builder.h"
#include "frontends/cli/cli_commands.h"
#include "frontends/cli/cli_output.h"
#include "frontends/cli/demo_costumes.h"

int RunMakeDemo(const std::string& directory) {
    GameLayout layout;
    layout.roomDisks = {0, 1, 1, 1, 1, 2, 2, 2, 3};
    layout.absentDisks = {3};
    layout.costumes.push_back(GameCostume{});  // costume 0, which the viewer never shows
    for (const DemoCostume& costume : DesignDemoCostumes()) {
        layout.costumes.push_back(GameCostume{costume.room, BuildCostumeBlock(costume.design)});
    }
    std::string error;
    if (!WriteGame(directory, "DEMO", layout, &error)) ReportFailure(error);
    EmitErrors();
    return AnyErrorEmitted() ? 1 : 0;
}
