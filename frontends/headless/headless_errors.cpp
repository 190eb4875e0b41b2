// Kept apart from the rest of the headless front-end so that tests of a single subsystem
// link only the error recorder.
#include <cstdio>

#include "frontends/headless/headless_frontend.h"

HeadlessFrontend g_headless;

void HeadlessFrontend::Clear() {
    *this = HeadlessFrontend{};
}

std::vector<std::string> HeadlessFrontend::TakeErrors() {
    std::vector<std::string> taken;
    taken.swap(errors);
    return taken;
}

void FrontendShowError(const char* text) {
    g_headless.errors.emplace_back(text);
    if (const FileErrorDetail* detail = ReportedFileDetail()) {
        g_headless.fileDetails.push_back(detail->path + ": " + detail->reason);
    }
    if (g_headless.echoErrors) std::fprintf(stderr, "Error: %s\n", text);
}
