// What the tool prints besides the asked-for output: the core's messages as
// "Error: <message> [<subject>]" lines, notes, and a progress line that only a terminal
// sees. Standard output is left to the commands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the messages printed from now on are about: the index file's path while a game is
// opened, then "costume N" or "costume N, frame F".
void SetSubject(std::string subject);
std::string CostumeSubject(uint32_t costume);
std::string FrameSubject(uint32_t costume, uint32_t frame);

// Reports one failure of the tool itself, the same way as the core reports its own.
void ReportFailure(const std::string& text);
// Prints every message reported since the last call as "Error: <message> [<subject>]" and
// returns them; a line just printed is not printed again. Every command calls it after each
// step that may fail.
std::vector<std::string> EmitErrors();
// While `kept` is set, every error and note line printed is also appended to it, so that a
// page can show what was said about each costume; nullptr stops keeping.
void KeepMessages(std::vector<std::string>* kept);
// True once any message has been printed, or a refusal noted: the exit status is then 1.
bool AnyErrorEmitted();

// "Note: <text>" on standard error: something skipped that is not a failure.
void PrintNote(const std::string& text);
// A note about something asked for that is not written (too large to be worth it): the
// exit status is 1, but nothing failed.
void PrintRefusal(const std::string& text);

// A line on standard error that rewrites itself, shown only when standard error is a
// terminal. Errors and notes clear it before they are printed.
void ShowProgress(const std::string& text);
void ClearProgress();
