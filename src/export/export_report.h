// What a job of the export library says while it works, handed to the program that runs it:
// each message with its kind, its text and what it is about. The library never prints; the
// program shows the messages as it likes (the tool as "Error: <text> [<subject>]" lines).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class ExportMessageKind {
    Error,    // something asked for failed
    Note,     // something skipped that is not a failure
    Refusal,  // something asked for is not written (too large to be worth it): not a failure,
              // but not done either
};

struct ExportMessage {
    ExportMessageKind kind = ExportMessageKind::Error;
    std::string text;     // the core's or the library's own words
    std::string subject;  // "costume N", "costume N, frame F", an index file's path, or ""
                          // (an error's line shows it; a note says what it is about itself)

    // "Error: <text> [<subject>]" (without the brackets when there is no subject), or
    // "Note: <text>" for a note or a refusal.
    std::string Line() const;
};

// "costume N" and "costume N, frame F": what most messages are about.
std::string CostumeSubject(uint32_t costume);
std::string FrameSubject(uint32_t costume, uint32_t frame);

struct ExportReport {
    // Each message as it is said. An error just like the one said last (same text and
    // subject, no note between) is not said again.
    std::function<void(const ExportMessage&)> onMessage;
    // A line of progress ("Exporting costume 3 (3 of 40), frame 2 of 9"); may be unset.
    std::function<void(const std::string&)> onProgress;

    std::string subject;  // what the messages said from now on are about
    bool failed = false;  // an error was reported or a refusal said: not all was done
    // While set, the text of every error reported is also appended here, said or not.
    std::vector<std::string>* heard = nullptr;
    // While set, every message said is also appended here as its Line().
    std::vector<std::string>* kept = nullptr;
    // While set, errors are only heard: neither said nor counted as failures.
    bool quiet = false;
    // The output folder or its disk refused a file (no space, no permission, read-only):
    // the error is said once, and the command writes nothing more.
    bool stopped = false;

    // Set by the job that opens a game: the folder its files were opened from and that
    // folder as the user named it, so that a message shows a game file as the user would
    // type it; and, while the game is being opened, that a file's message is about that
    // file rather than the subject.
    std::string gameDirectory;
    std::string gameDirectoryNamed;
    bool openingGame = false;

    // What was said, for the closing summary.
    uint64_t errorsSaid = 0;
    uint64_t notesSaid = 0;  // notes and refusals
    uint64_t filesWritten = 0;
    uint64_t bytesWritten = 0;

    void Error(const std::string& text);
    // An error about a file of the game: its path and why, said with the subject.
    void FileError(const std::string& text, const std::string& path, const std::string& reason);
    // `path` as the user would type it, when it is one of the game's files.
    std::string ShownPath(const std::string& path) const;
    void Note(const std::string& text);
    void Refusal(const std::string& text);
    void Progress(const std::string& text) const;
    // Says what another report said (a worker's), about its subject, as if said here.
    void Repeat(const ExportMessage& message);

private:
    std::string lastErrorLine;  // the error said last, until a note is said

    void Say(ExportMessageKind kind, const std::string& text);
};

// Makes `report` the one that the core's own failures (ReportError) go to, on this thread,
// while the scope lives; the one current before comes back after it. Each thread has its own,
// so that a worker's failures are its own costume's.
struct CurrentReportScope {
    explicit CurrentReportScope(ExportReport& report);
    ~CurrentReportScope();
    CurrentReportScope(const CurrentReportScope&) = delete;
    CurrentReportScope& operator=(const CurrentReportScope&) = delete;

private:
    ExportReport* previous;
};

// For a program's FrontendShowError: reports `text` as an error of the current report, about
// its subject and, when the core said which (ReportedFileDetail), the file and why. False
// when no report is current, so that the program shows it itself.
bool ReportToCurrent(const char* text);
