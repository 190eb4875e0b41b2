// duzuroro-cli.exe's file access, checked under Wine by its end-to-end run: the reading seam
// with UTF-8 paths (names no ANSI code page spells) and the writing seam over the wide Windows
// functions. Runs in a fresh folder of its own; prints one line per check and exits 1 when
// any failed.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/file_system.h"
#include "export/output_file_system.h"

namespace {

int g_failures = 0;

void Check(bool passed, const std::string& what) {
    std::printf("%s: %s\n", passed ? "ok" : "FAIL", what.c_str());
    if (!passed) ++g_failures;
}

// Files are made and looked at through the wide names: the check must not rest on what it
// checks.
std::filesystem::path Wide(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool MakeFile(const std::string& utf8, const std::string& bytes) {
    std::FILE* file = _wfopen(Wide(utf8).c_str(), L"wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::string Contents(const std::string& utf8) {
    std::string text;
    std::FILE* file = _wfopen(Wide(utf8).c_str(), L"rb");
    if (file == nullptr) return "(none)";
    char buffer[256];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
    std::fclose(file);
    return text;
}

DWORD Attributes(const std::string& utf8) {
    return GetFileAttributesW(Wide(utf8).c_str());
}

const std::string kGame = "\xe3\x82\xb2\xe3\x83\xbc\xe3\x83\xa0";  // ゲーム
const std::string kLodz = "\xc5\x81\xc3\xb3\x64\xc5\xba";        // Łódź

void CheckReading() {
    std::filesystem::create_directory(Wide(kGame));
    const bool made = MakeFile(kGame + "\\DEMO.LA0", "index") &&
                      MakeFile(kGame + "\\" + kLodz + ".LA0", "x");
    std::filesystem::create_directory(Wide(kGame + "\\FOLDER.LA1"));
    for (const std::string& folder : {kGame, kGame + "\\", kGame + "/"}) {
        std::set<std::pair<std::string, std::string>> listed;
        for (const FolderFile& file : ListFolder(folder)) listed.insert({file.name, file.path});
        const std::string joined = folder.back() == '\\' || folder.back() == '/' ? folder : folder + "\\";
        const std::set<std::pair<std::string, std::string>> expected = {
            {"DEMO.LA0", joined + "DEMO.LA0"}, {kLodz + ".LA0", joined + kLodz + ".LA0"}};
        Check(made && listed == expected,
              "a listing of " + folder + " gives every file in UTF-8, joined to the folder");
    }
    uint64_t size = 0;
    std::FILE* file = OpenForReading(kGame + "/" + kLodz + ".LA0", &size);
    Check(file != nullptr && size == 1, "a file named in UTF-8 opens for reading, with its size");
    if (file != nullptr) std::fclose(file);
    Check(OpenForReading(kGame + "\\FOLDER.LA1", &size) == nullptr, "a folder does not open");
    Check(OpenForReading("\xff.LA0", &size) == nullptr, "a name that is not UTF-8 opens nothing");
}

void CheckFolders() {
    WriteFailure error;
    const std::string nested = "out\\Th\xc3\xa9\xc3\xa2tre/" + kGame + "\\frames";
    Check(MakeFolders(nested, &error) && std::filesystem::is_directory(Wide(nested)),
          "MakeFolders makes every missing folder of a non-ASCII path");
    Check(MakeFolders(nested + "\\", &error), "MakeFolders takes a folder that is there");
    MakeFile("out\\plain", "");
    error = {};
    const bool blocked = !MakeFolders("out\\plain\\below", &error);
    Check(blocked && !error.reason.empty(),
          "MakeFolders refuses a file in the way, with a reason (" + error.reason + ")");
    error = {};
    const bool noDrive = !MakeFolders("Q:\\nowhere\\x", &error);
    Check(noDrive && !error.reason.empty(),
          "MakeFolders on a missing drive fails with a reason (" + error.reason + ")");
}

void CheckWriting() {
    const std::string folder = "out\\" + kGame;
    std::filesystem::create_directories(Wide(folder));
    WriteFailure error;
    std::string first, second;
    {
        HiddenFile a, b;
        const bool opened = OpenHidden(folder + "\\frame.png", &a, &error) &&
                            OpenHidden(folder + "/frame.png", &b, &error);
        first = a.temporaryPath;
        second = b.temporaryPath;
        const std::string prefix = folder + "\\.frame.png.";
        Check(opened && first != second && first.compare(0, prefix.size(), prefix) == 0 &&
                  first.size() == prefix.size() + 6,
              "two hidden files for one name are new files named ." + std::string("frame.png.") +
                  "XXXXXX beside it (" + first + ")");
        Check((Attributes(first) & FILE_ATTRIBUTE_HIDDEN) != 0, "a hidden file is hidden");
        if (opened) std::fputs("line\n", a.file);  // binary: no "\r" is added
        MakeFile(folder + "\\frame.png", "old");
        Check(opened && PutInPlace(&a, folder + "/frame.png", &error) &&
                  Contents(folder + "\\frame.png") == "line\n" &&
                  Attributes(first) == INVALID_FILE_ATTRIBUTES,
              "PutInPlace puts the hidden file's bytes in place of an existing file");
        Check((Attributes(folder + "\\frame.png") & FILE_ATTRIBUTE_HIDDEN) == 0,
              "the file in place is not hidden");
    }
    Check(Attributes(second) == INVALID_FILE_ATTRIBUTES,
          "a hidden file not put in place is removed");
    std::filesystem::create_directories(Wide(folder + "\\taken"));
    {
        HiddenFile c;
        error = {};
        const bool refused =
            OpenHidden(folder + "\\taken", &c, &error) && !PutInPlace(&c, folder + "\\taken", &error);
        Check(refused && error.reason == "Is a directory" && !error.wholeFolder,
              "a folder in the way refuses that one file, in the C library's words (" +
                  error.reason + ")");
    }
    HiddenFile missing;
    error = {};
    const bool noFolder = !OpenHidden("out\\missing\\x", &missing, &error);
    Check(noFolder && error.reason == "No such file or directory" && !error.wholeFolder,
          "a hidden file in a missing folder fails in the C library's words (" + error.reason +
              ")");
}

void CheckIdentity() {
    const std::string file = "out\\" + kGame + "\\frame.png";
    const std::string absolute = AbsolutePath(file);
    Check(absolute.size() > file.size() && absolute[1] == ':' &&
              absolute.compare(absolute.size() - file.size(), file.size(), file) == 0,
          "AbsolutePath puts the current folder before a relative path (" + absolute + ")");
    Check(SameFile(file, absolute) && SameFile(file, "OUT/" + kGame + "/FRAME.PNG"),
          "SameFile knows one file by any spelling");
    Check(SameFile("out", "out\\" + kGame + "\\..") && SameFile("", ".") &&
              SameFile("", AbsolutePath(".")),
          "SameFile knows folders, \"\" being the current one");
    Check(!SameFile(file, "out\\plain") && !SameFile(file, file + ".missing") &&
              !SameFile(file + ".missing", file + ".missing"),
          "SameFile tells other and missing files apart");
    // The game's files are open for reading and shared for reading only while exporting.
    uint64_t size = 0;
    std::FILE* held = OpenForReading(file, &size);
    Check(held != nullptr && SameFile(file, absolute), "SameFile knows a file the game holds open");
    if (held != nullptr) std::fclose(held);
}

}  // namespace

int main() {
    CheckReading();
    CheckFolders();
    CheckWriting();
    CheckIdentity();
    return g_failures == 0 ? 0 : 1;
}
