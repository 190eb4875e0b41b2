#include "frontends/cli/cli_output.h"

#include <unistd.h>

#include <cstdio>

#include "common/report_error.h"
#include "frontends/headless/headless_frontend.h"

namespace {

bool g_anyError = false;
size_t g_progressLength = 0;  // characters of the progress line now on the terminal

bool ProgressWanted() {
    static const bool terminal = isatty(STDERR_FILENO) == 1;
    return terminal;
}

}  // namespace

void ReportFailure(const std::string& text) {
    ReportError(text.c_str());
}

std::vector<std::string> EmitErrors() {
    std::vector<std::string> errors = g_headless.TakeErrors();
    if (errors.empty()) return errors;
    ClearProgress();
    for (const std::string& error : errors) std::fprintf(stderr, "Error: %s\n", error.c_str());
    g_anyError = true;
    return errors;
}

bool AnyErrorEmitted() {
    return g_anyError;
}

void PrintNote(const std::string& text) {
    ClearProgress();
    std::fprintf(stderr, "Note: %s\n", text.c_str());
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
