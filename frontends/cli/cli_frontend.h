// The tool's own definitions of the front-end functions the shell calls (app/frontend.h):
// the core's failures go to the export library's current report, the open dialog answers
// with the path the command line gave, and repaints land in a picture of the window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The index file that the next open dialog answers with, as an open dialog reports it.
void AnswerNextOpenDialog(const std::string& path);

// What the window would show: 640 x 480 pixels of red, green and blue bytes, top row first.
std::vector<uint8_t> WindowPictureRgb();
