// What the tool prints besides the asked-for output: the core's messages as "Error: ..."
// lines, notes, and a progress line that only a terminal sees. Standard output is left to
// the commands.
#pragma once

#include <string>
#include <vector>

// Reports one failure of the tool itself, the same way as the core reports its own.
void ReportFailure(const std::string& text);
// Prints every message reported since the last call as "Error: <message>", once each, and
// returns them. Every command calls it after each step that may fail.
std::vector<std::string> EmitErrors();
// True once any message has been printed: the exit status is then 1.
bool AnyErrorEmitted();

// "Note: <text>" on standard error: something skipped that is not a failure.
void PrintNote(const std::string& text);

// A line on standard error that rewrites itself, shown only when standard error is a
// terminal. Errors and notes clear it before they are printed.
void ShowProgress(const std::string& text);
void ClearProgress();
