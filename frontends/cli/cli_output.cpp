#include "frontends/cli/cli_output.h"

#include <unistd.h>

#include <cstdio>

#include "common/report_error.h"
#include "frontends/headless/headless_frontend.h"

namespace {

bool g_anyError = false;
std::string g_subject;
std::string g_lastErrorLine;
size_t g_progressLength = 0;  // characters of the progress line now on the terminal
std::vector<std::string>* g_kept = nullptr;

void PrintLine(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    if (g_kept != nullptr) g_kept->push_back(line);
}

bool ProgressWanted() {
    static const bool terminal = isatty(STDERR_FILENO) == 1;
    return terminal;
}

}  // namespace

void SetSubject(std::string subject) {
    g_subject = std::move(subject);
}

std::string CostumeSubject(uint32_t costume) {
    return "costume " + std::to_string(costume);
}

std::string FrameSubject(uint32_t costume, uint32_t frame) {
    return CostumeSubject(costume) + ", frame " + std::to_string(frame);
}

void ReportFailure(const std::string& text) {
    ReportError(text.c_str());
}

std::vector<std::string> EmitErrors() {
    std::vector<std::string> errors = g_headless.TakeErrors();
    if (errors.empty()) return errors;
    ClearProgress();
    for (const std::string& error : errors) {
        std::string line = "Error: " + error;
        if (!g_subject.empty()) line += " [" + g_subject + "]";
        if (line == g_lastErrorLine) continue;
        PrintLine(line);
        g_lastErrorLine = std::move(line);
    }
    g_anyError = true;
    return errors;
}

void KeepMessages(std::vector<std::string>* kept) {
    g_kept = kept;
}

bool AnyErrorEmitted() {
    return g_anyError;
}

void PrintNote(const std::string& text) {
    ClearProgress();
    PrintLine("Note: " + text);
    g_lastErrorLine.clear();
}

void PrintRefusal(const std::string& text) {
    PrintNote(text);
    g_anyError = true;
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
