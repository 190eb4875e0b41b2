#include "common/report_error.h"

namespace {

const FileErrorDetail* g_detail = nullptr;

}  // namespace

void ReportError(const char* text) {
    FrontendShowError(text);
}

void ReportFileError(const char* text, const FileErrorDetail& detail) {
    // Put back however the program's showing ends, a throw included.
    struct Shown {
        const FileErrorDetail* before;
        ~Shown() { g_detail = before; }
    } shown{g_detail};
    g_detail = &detail;
    FrontendShowError(text);
}

const FileErrorDetail* ReportedFileDetail() {
    return g_detail;
}
