// make-demo: the demo game, written into a folder.
#include "demo/demo_game.h"
#include "frontends/cli/cli_commands.h"
#include "frontends/cli/cli_output.h"

int RunMakeDemo(const std::string& directory) {
    std::string error;
    if (WriteDemoGame(directory, &error)) return 0;
    ExportReport report = PrintingReport();
    report.Error(error);
    return 1;
}
