// make-demo: the demo game, written into a folder.
#include <filesystem>
#include <string>

#include "demo/demo_game.h"
#include "frontends/cli/cli_commands.h"
#include "frontends/cli/cli_output.h"

int RunMakeDemo(const std::string& directory) {
    std::string error;
    // The folder's name is UTF-8 on every system: a path made from a plain string would be
    // read in the ANSI code page on Windows.
    const std::filesystem::path folder(std::u8string(directory.begin(), directory.end()));
    if (WriteDemoGame(folder, &error)) return 0;
    ExportReport report = PrintingReport();
    report.Error(error);
    return 1;
}
