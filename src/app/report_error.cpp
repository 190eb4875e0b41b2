#include "app/report_error.h"

#include "app/frontend.h"

void ReportError(const char* text) {
    FrontendShowError(text);
}
