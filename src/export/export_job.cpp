// export: every costume asked for, each planned and bounded, then written.
#include "export/export_job.h"

#include <algorithm>

#include "export/costume_export.h"

namespace {

// The costumes of `asked` that the game has, for the progress line.
uint64_t CountWithin(const Selection& asked, uint32_t count) {
    uint64_t total = 0;
    for (const Selection::Range& range : asked.ranges) {
        if (range.first >= count) break;
        total += std::min<uint64_t>(range.last, count - 1u) - range.first + 1;
    }
    return total;
}

bool Selects(const Selection& selection, uint32_t number) {
    for (const Selection::Range& range : selection.ranges) {
        if (number >= range.first && number <= range.last) return true;
    }
    return false;
}

// Said with what the game has, so that the user can ask again.
std::string OutOfRange(uint64_t number, uint32_t count) {
    const std::string costumes = count > 2 ? "costumes are 1 to " + std::to_string(count - 1)
                                 : count == 2 ? "only costume is 1"
                                              : "";
    return "costume " + std::to_string(number) + " is out of range: " +
           (costumes.empty() ? "this game has no costumes" : "this game's " + costumes);
}

void ExportOne(CostumeJob& job, uint32_t number, bool named) {
    ExportCostume costume;
    costume.Load(job.game, number, job.report);
    if (costume.result == CostumeLoadResult::NotPresent) {
        if (named) {
            job.report.Error(costume.whyNot);
        } else if (!job.game.OnMissingDisk(number)) {  // noted with its disk already
            job.report.Note(costume.whyNot + " Skipped.");
        }
        return;
    }
    if (costume.result == CostumeLoadResult::Loaded) {
        ExportLoadedCostume(job, number, *costume.loaded.costume);
    }
}

// Every costume asked for in turn, until one past the game's end or the job's limit.
void ExportEach(CostumeJob& job, const Selection& costumes, bool named) {
    const uint32_t count = job.game.CostumeCount();
    for (const Selection::Range& range : costumes.ranges) {
        for (uint64_t number = range.first; number <= range.last; ++number) {
            if (number >= count) {
                // The ranges ascend: every costume from here on is past the end too.
                job.report.subject.clear();
                job.report.Error(OutOfRange(number, count));
                return;
            }
            ExportOne(job, static_cast<uint32_t>(number), named);
            if (job.budget.spent) return;
            ++job.costumesDone;
        }
    }
}

}  // namespace

bool ExportCostumes(const ExportOptions& options, ExportReport& report) {
    const CurrentReportScope current(report);
    ExportGame game;
    if (!game.Open(options.indexFile, report)) return false;
    const uint32_t count = game.CostumeCount();
    CostumeJob job{options, game, report};
    const bool named = !options.costumes.Empty();
    job.severalCostumes = !named || options.costumes.Count() > 1;
    Selection costumes = options.costumes;
    if (costumes.Empty() && count > 1) costumes.AddRange(1, count - 1);
    NoteMissingDisks(game, report, [&](uint32_t number) {
        return number == 0 ? !named : Selects(costumes, number);
    });
    if (costumes.Empty()) report.Note("The game has no costumes to export.");
    job.costumesTotal = CountWithin(costumes, count);
    ExportEach(job, costumes, named);
    return !report.failed;
}
