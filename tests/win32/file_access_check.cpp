// DuzuRoro.exe's file access, checked under Wine by the Win32 end-to-end run: games in
// folders whose names need the ANSI code page (1252 here), names that code page cannot
// spell, and the share mode that refuses other writers. Runs in a fresh folder of its own;
// prints one line per check and exits 1 when any failed.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "archive/game_archive.h"
#include "common/file_system.h"
#include "common/report_error.h"
#include "demo/demo_game.h"

namespace {

using Messages = std::vector<std::string>;
Messages g_errors;
int g_failures = 0;

void Check(bool passed, const char* what) {
    std::printf("%s: %s\n", passed ? "ok" : "FAIL", what);
    if (!passed) ++g_failures;
}

struct Outcome {
    bool opened = false;
    std::vector<uint8_t> costume;  // costume 1, when the game opened
    Messages errors;
};

// The demo game opened from `directory` as the open dialog hands it over: ANSI, with its
// trailing separator.
Outcome OpenDemo(const std::string& directory) {
    GameArchive archive(directory, "DEMO");
    Outcome outcome;
    outcome.opened = archive.Open();
    if (outcome.opened) archive.LoadCostume(&outcome.costume, 1);
    outcome.errors = std::exchange(g_errors, {});
    return outcome;
}

// Another handle on a file, as another program would hold it; it lets everyone share.
HANDLE Hold(const wchar_t* path, DWORD access) {
    return CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Files are made through the wide names: the check must not rest on what it checks.
void Made(bool written, const std::string& error) {
    if (written) return;
    std::printf("FAIL: %s\n", error.c_str());
    ++g_failures;
}

void CheckFolders() {
    struct Folder {
        const wchar_t* wide;
        const char* ansi;  // what the dialog gives in code page 1252
        const char* what;
    };
    const Folder folders[] = {
        {L"demo", "demo", "the demo game opens from a plain folder"},
        {L"Th\u00e9\u00e2tre", "Th\xe9\xe2tre", "the demo game opens from Th\u00e9\u00e2tre alike"},
        {L"Euro\u20ac", "Euro\x80", "the demo game opens from Euro\u20ac alike"},
    };
    std::string error;
    for (const Folder& folder : folders) {
        Made(WriteDemoGame(folder.wide, &error), error);
    }
    const Outcome plain = OpenDemo("demo\\");
    for (const Folder& folder : folders) {
        const Outcome outcome = OpenDemo(std::string(folder.ansi) + "\\");
        Check(outcome.opened && outcome.errors.empty() && !outcome.costume.empty() &&
                  outcome.costume == plain.costume,
              folder.what);
    }
}

void CheckListing() {
    std::filesystem::create_directory(L"names");
    for (const wchar_t* name : {L"DEMO.LA0", L"Caf\u00e9.LA0", L"\u0141\u00f3d\u017a.LA0"}) {
        std::string error;
        Made(WriteBytes(std::filesystem::path(L"names") / name, {0}, &error), error);
    }
    std::filesystem::create_directory(L"names\\FOLDER.LA1");
    // "Łódź" has no spelling in code page 1252; its best fit, "Lodz", would name another file.
    const std::set<std::pair<std::string, std::string>> expected = {
        {"DEMO.LA0", "names\\DEMO.LA0"}, {"Caf\xe9.LA0", "names\\Caf\xe9.LA0"}};
    for (const char* folder : {"names\\", "names"}) {
        std::set<std::pair<std::string, std::string>> listed;
        for (const FolderFile& file : ListFolder(folder)) listed.insert({file.name, file.path});
        Check(listed == expected,
              "a listing gives the files whose names code page 1252 spells, joined to the folder");
    }
}

void CheckSharing() {
    HANDLE writer = Hold(L"demo\\DEMO.LA1", GENERIC_WRITE);
    const Outcome whileWritten = OpenDemo("demo\\");
    Check(writer != INVALID_HANDLE_VALUE && !whileWritten.opened &&
              whileWritten.errors == Messages{"Failed to open file."},
          "a disk file another handle holds open for writing is refused, with one message");
    CloseHandle(writer);

    HANDLE reader = Hold(L"demo\\DEMO.LA1", GENERIC_READ);
    const Outcome whileRead = OpenDemo("demo\\");
    Check(reader != INVALID_HANDLE_VALUE && whileRead.opened && whileRead.errors.empty(),
          "a disk file another handle only reads opens");
    CloseHandle(reader);

    GameArchive archive("demo\\", "DEMO");
    const bool opened = archive.Open();
    HANDLE late = Hold(L"demo\\DEMO.LA1", GENERIC_WRITE);
    const DWORD why = GetLastError();
    Check(opened && late == INVALID_HANDLE_VALUE && why == ERROR_SHARING_VIOLATION,
          "while the game is open, no one else may open its files for writing");
    if (late != INVALID_HANDLE_VALUE) CloseHandle(late);
}

}  // namespace

void FrontendShowError(const char* text) {
    g_errors.push_back(text);
}

int main() {
    if (GetACP() != 1252) {
        std::printf("FAIL: the ANSI code page is %u, not 1252\n", GetACP());
        return 1;
    }
    CheckFolders();
    CheckListing();
    CheckSharing();
    return g_failures == 0 ? 0 : 1;
}
