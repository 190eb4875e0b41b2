// Export of one costume: what will be written is planned from the frames' size records and
// bounded before anything is decoded or written, then every frame is rendered once for all
// the outputs asked for. `export` runs it for each costume asked for, the gallery for each
// costume on its page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "costume/costume.h"
#include "export/export_game.h"
#include "export/export_options.h"
#include "export/export_report.h"
#include "export/sheet_layout.h"

// What one job has charged to kRunDecodePixelBudget, over every costume it writes.
struct RunBudget {
    uint64_t pixels = 0;
    bool spent = false;  // the costumes after the one that spent it are not to be tried
};

// One job writing costumes: what it was asked, where it stands, and what it has written.
struct CostumeJob {
    const ExportOptions& options;
    ExportGame& game;
    ExportReport& report;
    RunBudget budget;
    bool severalCostumes = false;  // a frame past a costume's end is then only noted
    uint64_t costumesDone = 0;     // for the progress line
    uint64_t costumesTotal = 0;
    std::vector<std::string>* written = nullptr;  // when set, the names of the files written

    CostumeJob(const ExportOptions& asked, ExportGame& from, ExportReport& to)
        : options(asked), game(from), report(to) {}
};

// What will be written of one costume.
struct CostumePlan {
    std::vector<SheetLayout::FrameSize> frames;  // those asked for that have pixels, in order
    bool pngFrames = false;
    bool sheet = false;
    bool gif = false;

    bool WritesAnything() const { return pngFrames || sheet || gif; }
};

// Plans costume `number`: its frames selected and measured against the budgets, its sheet
// and GIF checked against their bounds. Each thing left out is said. False when nothing of
// the costume is to be rendered.
bool PlanCostume(CostumeJob& job, uint32_t number, Costume& costume, CostumePlan* plan);

// Writes the loaded costume `number` as the job's options ask: its palette, then what its
// plan holds.
void ExportLoadedCostume(CostumeJob& job, uint32_t number, Costume& costume);

// Writes the costume's palette as costume-NNNN.<format's extension>.
void WritePaletteFile(CostumeJob& job, uint32_t number, const Costume& costume,
                      PaletteFormat format);
