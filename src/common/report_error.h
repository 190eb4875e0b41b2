// The one way every part of the program tells the user about a failure: once, where it is
// found, with a fixed message. It lives on the ground floor so that every floor can call it;
// how the text reaches the user is the running program's business.
#pragma once

void ReportError(const char* text);

// The seam each program fills in (there is no virtual interface): shows `text` under the
// title "Error" with the error icon and one OK button, owned by the main window when it
// exists, and returns once the user has closed it.
void FrontendShowError(const char* text);
