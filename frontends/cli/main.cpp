// duzuroro-cli: the command line over the viewer's core. Parses the command line, runs one
// command, and turns the outcome into the exit status: 0 done, 1 failed, 2 usage error.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "frontends/cli/cli_commands.h"
#include "frontends/headless/headless_frontend.h"

namespace {

constexpr int kUsageError = 2;

struct Usage {
    const char* command;
    const char* synopsis;
};

constexpr Usage kUsages[] = {
    {"info", "info INDEX_FILE [--json]"},
    {"export",
     "export INDEX_FILE [--costume N]... [--frame F] [--out DIR] [--transparent K] [--sheet]"},
    {"screen", "screen INDEX_FILE --costume N [--frame F] [--zoom] --out FILE"},
    {"make-demo", "make-demo DIR"},
};

// The short usage text after a usage error: the synopsis of the command that was being
// given, or of them all.
void PrintUsage(const CLI::App& app) {
    const auto given = app.get_subcommands();
    std::fprintf(stderr, "Usage:\n");
    for (const Usage& usage : kUsages) {
        if (given.empty() || given.front()->get_name() == usage.command) {
            std::fprintf(stderr, "  duzuroro-cli %s\n", usage.synopsis);
        }
    }
    const std::string helpOf = given.empty() ? "" : given.front()->get_name() + " ";
    std::fprintf(stderr, "Run 'duzuroro-cli %s--help' for more.\n", helpOf.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    // Messages are printed by the commands (cli_output.h), not as they are reported, so that
    // a progress line can be cleared first.
    g_headless.echoErrors = false;

    CLI::App app{"Lists, exports and renders the costumes in the files of SCUMM-engine games.",
                 "duzuroro-cli"};
    app.set_version_flag("--version", "duzuroro-cli " DUZURORO_VERSION "\n" DUZURORO_LICENCE);
    app.require_subcommand(1);

    InfoOptions info;
    CLI::App* infoCommand =
        app.add_subcommand("info", "Lists the game's files and each costume with its frames.");
    infoCommand->add_option("INDEX_FILE", info.indexFile, "The game's index file (.LA0)")
        ->required();
    infoCommand->add_flag("--json", info.json, "Print one JSON object instead of text");

    ExportOptions exports;
    CLI::App* exportCommand = app.add_subcommand(
        "export", "Writes frames as 8-bit indexed PNG files named costume-NNNN-frame-FFF.png.");
    exportCommand->add_option("INDEX_FILE", exports.indexFile, "The game's index file (.LA0)")
        ->required();
    exportCommand
        ->add_option("--costume", exports.costumes,
                     "A costume to export; may be repeated (default: every costume)")
        ->check(CLI::Range(uint32_t{1}, UINT32_MAX))
        ->allow_extra_args(false);
    exportCommand->add_option("--frame", exports.frame, "Only this frame (from 1) of each costume")
        ->check(CLI::Range(1, 65535));
    exportCommand->add_option("--out", exports.outDirectory,
                              "The folder to write into, created when missing (default: .)");
    exportCommand
        ->add_option("--transparent", exports.transparentIndex,
                     "Make this palette index (0 to 255) fully transparent")
        ->check(CLI::Range(0, 255));
    exportCommand->add_flag("--sheet", exports.sheet,
                            "One sheet per costume, frames left to right, with a JSON layout");

    ScreenOptions screen;
    CLI::App* screenCommand = app.add_subcommand(
        "screen", "Writes the 640x480 picture the viewer's window shows, as an RGB PNG.");
    screenCommand->add_option("INDEX_FILE", screen.indexFile, "The game's index file (.LA0)")
        ->required();
    screenCommand->add_option("--costume", screen.costume, "The costume shown (from 1)")
        ->required()
        ->check(CLI::Range(uint32_t{1}, UINT32_MAX));
    screenCommand->add_option("--frame", screen.frame, "The frame shown (default: 1)")
        ->check(CLI::Range(1, 65535));
    screenCommand->add_flag("--zoom", screen.zoom, "Zoom in first, as keypad plus does");
    screenCommand->add_option("--out", screen.outFile, "The PNG file to write")->required();

    std::string demoDirectory;
    CLI::App* demoCommand = app.add_subcommand(
        "make-demo", "Writes a demo game (DEMO.LA0 and its disk files) into a folder.");
    demoCommand->add_option("DIR", demoDirectory, "The folder, created when missing")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error);  // --help, --version
        // A word that names no command is reported as such, not as a missing command.
        if (app.get_subcommands().empty() && argc > 1 && argv[1][0] != '-') {
            std::fprintf(stderr, "Error: Unknown command: %s\n", argv[1]);
        } else {
            std::fprintf(stderr, "Error: %s\n", error.what());
        }
        PrintUsage(app);
        return kUsageError;
    }

    if (infoCommand->parsed()) return RunInfo(info);
    if (exportCommand->parsed()) return RunExport(exports);
    if (screenCommand->parsed()) return RunScreen(screen);
    return RunMakeDemo(demoDirectory);
}
