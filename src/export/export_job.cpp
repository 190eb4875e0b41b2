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

void ExportOne(CostumeJob& job, ExportCostume& costume, bool named) {
    if (costume.result == CostumeLoadResult::NotPresent) {
        if (named) {
            job.report.Error(costume.whyNot);
        } else {
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
        report.subject = CostumeSubject(*pastEnd);
        report.Error("Costume out of range.");
    }
    return !report.failed;
}
