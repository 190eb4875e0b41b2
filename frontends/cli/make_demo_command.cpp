// make-demo: the demo game, written into a folder.
#include "demo/demo_game.h"
#include "frontends/cli/cli_commands.h"
#include "frontends/cli/cli_output.h"

int RunMakeDemo(const std::string& directory) {
    std::string error;
    if (!WriteDemoGame(directory, &error)) ReportFailure(error);
    EmitErrors();
    return AnyErrorEmitted() ? 1 : 0;
}
