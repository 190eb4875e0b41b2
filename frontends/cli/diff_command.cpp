// diff: the export library's comparison of two games, printed as text for people or as its
// JSON document, with diff(1)'s exit status: 0 the same, 1 different, 2 trouble.
#include <string>

#include "export/game_diff.h"
#include "frontends/cli/cli_commands.h"
#include "frontends/cli/cli_output.h"

namespace {

std::string Costumes(const std::vector<uint32_t>& numbers) {
    std::string text = numbers.size() == 1 ? "costume" : "costumes";
    for (size_t i = 0; i < numbers.size(); ++i) {
        text += (i == 0 ? " " : ", ") + std::to_string(numbers[i]);
    }
    return text;
}

void PrintText(const GameDiff& diff) {
    std::string text;
    if (!diff.onlyInA.empty()) text += "Only in A: " + Costumes(diff.onlyInA) + "\n";
    if (!diff.onlyInB.empty()) text += "Only in B: " + Costumes(diff.onlyInB) + "\n";
    for (const CostumeDifference& costume : diff.changed) {
        text += "Costume " + std::to_string(costume.number) + ":\n";
        for (const std::string& line : DifferenceLines(costume)) text += "  " + line + "\n";
        PrintOut(text);
        text.clear();
    }
    PrintOut(text);
}

}  // namespace

int RunDiff(const DiffOptions& options, ExportReport& report) {
    constexpr int kTrouble = 2;
    GameDiff diff;
    const DiffOutcome outcome = DiffGames(options, report, &diff);
    ClearProgress();
    // What was compared before trouble is still printed, as diff(1) does.
    if (!diff.opened) return kTrouble;
    if (options.json) {
        WriteDiffJson(options, diff, PrintOut);
    } else {
        PrintText(diff);
    }
    if (outcome == DiffOutcome::Trouble) return kTrouble;
    return diff.Same() ? 0 : 1;
}
