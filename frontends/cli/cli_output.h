// Everything the tool prints, in one place: the listing on standard output, and on standard
// error the messages of the export library as "Error: <message> [<subject>]" and
// "Note: <text>" lines, usage errors, and a progress line that only a terminal sees.
#pragma once

#include <string>
#include <string_view>

#include "export/export_report.h"

// A report that prints each message as it is said and shows progress on a terminal.
ExportReport PrintingReport();

// Text of a command's own output, on standard output.
void PrintOut(std::string_view text);
// Text of the tool's own (usage, parse errors), on standard error.
void PrintErr(std::string_view text);

// A line on standard error that rewrites itself, shown only when standard error is a
// terminal. Messages clear it before they are printed.
void ShowProgress(const std::string& text);
void ClearProgress();
