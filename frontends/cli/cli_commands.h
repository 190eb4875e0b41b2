// The tool's commands of its own, beside the export library's jobs (export/export_job.h).
// Each returns the exit status: 0 when everything asked was done, 1 when the game could not
// be opened or something asked for failed or was refused.
#pragma once

#include <cstdint>
#include <string>

#include "export/export_options.h"
#include "export/export_report.h"

struct ScreenOptions {
    std::string indexFile;
    uint32_t costume = 1;
    uint16_t frame = 1;
    bool zoom = false;
    std::string outFile;
};

int RunScreen(const ScreenOptions& options);
int RunMakeDemo(const std::string& directory);
// diff(1)'s status instead: 0 the same, 1 different, 2 trouble (the report says what).
int RunDiff(const DiffOptions& options, ExportReport& report);
