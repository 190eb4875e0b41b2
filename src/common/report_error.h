// The one way every part of the program tells the user about a failure: once, where it is
// found, with a fixed message. It lives on the ground floor so that every floor can call it;
// how the text reaches the user is the running program's business.
#pragma once

#include <string>

void ReportError(const char* text);

// The file a failure is about and why, as the part that found it knows them.
struct FileErrorDetail {
    std::string path;    // as the file was opened
    std::string reason;  // "Permission denied", "it is only 12 bytes long", ...
};

// Reports `text`, the fixed message, once; while the program shows it, ReportedFileDetail
// gives the file and the reason, so that a program with room for them can add them.
void ReportFileError(const char* text, const FileErrorDetail& detail);

// During FrontendShowError: the detail of the failure being shown, or null when it has none.
const FileErrorDetail* ReportedFileDetail();

// The seam each program fills in (there is no virtual interface): shows `text` under the
// title "Error" with the error icon and one OK button, owned by the main window when it
// exists, and returns once the user has closed it.
void FrontendShowError(const char* text);
