#include "common/report_error.h"

void ReportError(const char* text) {
    FrontendShowError(text);
}
