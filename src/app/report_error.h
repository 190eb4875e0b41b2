// The one way every part of the program tells the user about a failure: once, where it is
// found, with a fixed message. The running front-end decides how the text is shown.
#pragma once

void ReportError(const char* text);
