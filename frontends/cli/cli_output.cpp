#include "frontends/cli/cli_output.h"

#include <unistd.h>

#include <cstdio>

namespace {

size_t g_progressLength = 0;  // characters of the progress line now on the terminal

bool ProgressWanted() {
    static const bool terminal = isatty(STDERR_FILENO) == 1;
    return terminal;
}

void PrintMessage(const ExportMessage& message) {
    ClearProgress();
    std::fprintf(stderr, "%s\n", message.Line().c_str());
}

}  // namespace

ExportReport PrintingReport() {
    ExportReport report;
    report.onMessage = PrintMessage;
    report.onProgress = ShowProgress;
    return report;
}

void PrintOut(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void PrintErr(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
}

void ShowProgress(const std::string& text) {
    if (!ProgressWanted()) return;
    // Pad with spaces so that a shorter line covers all of a longer one.
    std::string line = text;
    if (line.size() < g_progressLength) line.append(g_progressLength - line.size(), ' ');
    std::fprintf(stderr, "\r%s", line.c_str());
    std::fflush(stderr);
    g_progressLength = text.size();
}

void ClearProgress() {
    if (g_progressLength == 0) return;
    std::fprintf(stderr, "\r%s\r", std::string(g_progressLength, ' ').c_str());
    std::fflush(stderr);
    g_progressLength = 0;
}
