// Export of one costume already loaded, for a command that writes more around it (the
// gallery): the same files, names, bounds and messages as `export` itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frontends/cli/cli_commands.h"
#include "frontends/cli/cli_game.h"

// Where the costume stands among those being written, for the progress line.
struct CostumeExportProgress {
    uint64_t done = 0;
    uint64_t total = 0;
};

// Writes costume `number`'s outputs as `options` ask, into options.outDirectory, and its
// palette in each of `palettes` besides. Returns the names of the files written, in order.
std::vector<std::string> ExportCostumeFiles(const ExportOptions& options, CliGame& game,
                                            uint32_t number, Costume& costume,
                                            const std::vector<PaletteFormat>& palettes,
                                            CostumeExportProgress progress);

// Whether the command has reached the most it may decode over all its costumes (see
// kRunDecodePixelBudget): the costumes after the one that reached it are not to be tried.
bool ExportLimitReached();
