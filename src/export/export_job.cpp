// export: every costume asked for, each planned and bounded, then written, by as many
// workers as asked.
#include "export/export_job.h"

#include <optional>
#include <vector>

#include "export/costume_export.h"
#include "export/costume_workers.h"

namespace {

// The costumes of `asked` that the game has, in order; the first asked for past its end, if
// any, goes to `pastEnd` (the ranges ascend: every one after it is past the end too).
std::vector<uint32_t> CostumesWithin(const Selection& asked, uint32_t count,
                                     std::optional<uint32_t>* pastEnd) {
    std::vector<uint32_t> numbers;
    for (const Selection::Range& range : asked.ranges) {
        for (uint64_t number = range.first; number <= range.last; ++number) {
            if (number >= count) {
                *pastEnd = static_cast<uint32_t>(number);
                return numbers;
            }
            numbers.push_back(static_cast<uint32_t>(number));
        }
    }
    return numbers;
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

void ExportOne(CostumeJob& job, ExportCostume& costume, bool named) {
    if (costume.result == CostumeLoadResult::NotPresent) {
        if (named) {
            job.report.Error(costume.whyNot);
        } else if (!job.game.OnMissingDisk(costume.number)) {  // noted with its disk already
            job.report.Note(costume.whyNot + " Skipped.");
        }
        return;
    }
    if (costume.result == CostumeLoadResult::Loaded) {
        ExportLoadedCostume(job, costume.number, *costume.loaded.costume);
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
    std::optional<uint32_t> pastEnd;
    const std::vector<uint32_t> numbers = CostumesWithin(costumes, count, &pastEnd);
    job.costumesTotal = numbers.size();
    WorkCostumes(
        job, numbers, options.jobs,
        [named](CostumeJob& each, ExportCostume& costume, std::string*) {
            ExportOne(each, costume, named);
        },
        nullptr);
    if (pastEnd && !job.budget.spent) {
        report.subject.clear();
        report.Error(OutOfRange(*pastEnd, count));
    }
    return !report.failed;
}
