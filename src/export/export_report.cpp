#include "export/export_report.h"

#include "common/report_error.h"

namespace {

// One for each thread: a worker of an export makes its own report current while the main
// thread's stays current for the main thread. A page without threads has one plain global:
// its linker refuses thread_local beside the bulk memory instructions the page is built with.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
ExportReport* g_current = nullptr;
#else
thread_local ExportReport* g_current = nullptr;
#endif

}  // namespace

std::string ExportMessage::Line() const {
    if (kind != ExportMessageKind::Error) return "Note: " + text;
    std::string line = "Error: " + text;
    if (!subject.empty()) line += " [" + subject + "]";
    return line;
}

std::string CostumeSubject(uint32_t costume) {
    return "costume " + std::to_string(costume);
}

std::string FrameSubject(uint32_t costume, uint32_t frame) {
    return CostumeSubject(costume) + ", frame " + std::to_string(frame);
}

void ExportReport::Error(const std::string& text) {
    if (heard != nullptr) heard->push_back(text);
    if (quiet) return;
    failed = true;
    Say(ExportMessageKind::Error, text);
}

void ExportReport::FileError(const std::string& text, const std::string& path,
                             const std::string& reason) {
    const std::string file = ShownPath(path) + ": " + reason;
    const std::string before = subject;
    subject = openingGame || subject.empty() ? file : subject + "; " + file;
    Error(text);
    subject = before;
}

std::string ExportReport::ShownPath(const std::string& path) const {
    if (gameDirectory.empty() || path.compare(0, gameDirectory.size(), gameDirectory) != 0) {
        return path;
    }
    return gameDirectoryNamed + path.substr(gameDirectory.size());
}

void ExportReport::Note(const std::string& text) {
    Say(ExportMessageKind::Note, text);
}

void ExportReport::Refusal(const std::string& text) {
    failed = true;
    Say(ExportMessageKind::Refusal, text);
}

void ExportReport::Progress(const std::string& text) const {
    if (onProgress) onProgress(text);
}

void ExportReport::Repeat(const ExportMessage& message) {
    subject = message.subject;
    switch (message.kind) {
        case ExportMessageKind::Error:
            Error(message.text);
            break;
        case ExportMessageKind::Note:
            Note(message.text);
            break;
        case ExportMessageKind::Refusal:
            Refusal(message.text);
            break;
    }
}

void ExportReport::Say(ExportMessageKind kind, const std::string& text) {
    const ExportMessage message{kind, text, subject};
    std::string line = message.Line();
    if (kind == ExportMessageKind::Error) {
        if (line == lastErrorLine) return;
        lastErrorLine = line;
    } else {
        lastErrorLine.clear();
    }
    if (kind == ExportMessageKind::Error) {
        ++errorsSaid;
    } else {
        ++notesSaid;
    }
    if (kept != nullptr) kept->push_back(line);
    if (onMessage) onMessage(message);
}

CurrentReportScope::CurrentReportScope(ExportReport& report) : previous(g_current) {
    g_current = &report;
}

CurrentReportScope::~CurrentReportScope() {
    g_current = previous;
}

bool ReportToCurrent(const char* text) {
    if (g_current == nullptr) return false;
    if (const FileErrorDetail* detail = ReportedFileDetail()) {
        g_current->FileError(text, detail->path, detail->reason);
    } else {
        g_current->Error(text);
    }
    return true;
}
