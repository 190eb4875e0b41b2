#include "frontends/cli/cli_output.h"

#include <cstdio>

#include "frontends/cli/console_text.h"

namespace {

size_t g_progressLength = 0;  // characters of the progress line now on the terminal

bool ProgressWanted() {
    static const bool terminal = StderrIsTerminal();
    return terminal;
}

void PrintMessage(const ExportMessage& message) {
    ClearProgress();
    WriteText(stderr, message.Line() + "\n");
}

}  // namespace

ExportReport PrintingReport() {
    ExportReport report;
    report.onMessage = PrintMessage;
    report.onProgress = ShowProgress;
    return report;
}

void PrintOut(std::string_view text) {
    WriteText(stdout, std::string(text));
}

void PrintErr(std::string_view text) {
    WriteText(stderr, std::string(text));
}

void ShowProgress(const std::string& text) {
    if (!ProgressWanted()) return;
    // Pad with spaces so that a shorter line covers all of a longer one.
    std::string line = text;
    if (line.size() < g_progressLength) line.append(g_progressLength - line.size(), ' ');
    WriteText(stderr, "\r" + line);
    std::fflush(stderr);
    g_progressLength = text.size();
}

void ClearProgress() {
    if (g_progressLength == 0) return;
    WriteText(stderr, "\r" + std::string(g_progressLength, ' ') + "\r");
    std::fflush(stderr);
    g_progressLength = 0;
}
