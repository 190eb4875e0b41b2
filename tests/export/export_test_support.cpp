// The test program's own error seam, as a program linking the export library defines it:
// the core's failures go to the current report, and are kept here when there is none.
#include <string>
#include <vector>

#include "common/report_error.h"
#include "export/export_report.h"

std::vector<std::string> g_unreported;

void FrontendShowError(const char* text) {
    if (!ReportToCurrent(text)) g_unreported.emplace_back(text);
}
