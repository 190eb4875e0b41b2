// How the tool's text reaches the user: the two things that differ between a Linux terminal
// and a Windows console. console_text_posix.cpp and windows_console.cpp define them.
#pragma once

#include <cstdio>
#include <string>

// True when standard error is a terminal (a console on Windows), where a progress line shows.
bool StderrIsTerminal();

// Writes UTF-8 `text` to `stream` as it is: byte for byte into a file or a pipe, and as the
// characters it spells onto a Windows console.
void WriteText(std::FILE* stream, const std::string& text);
