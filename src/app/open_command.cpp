// File > Open: the chosen index file names the game's directory and base name.
#include "app/open_command.h"

#include <algorithm>

#include "app/chosen_file.h"
#include "app/frontend.h"
#include "app/process_objects.h"
#include "common/allocation.h"

ChosenFile ChosenFileFromPath(const std::string& path, const char* separators) {
    ChosenFile choice;
    choice.path = path;
    const size_t separator = path.find_last_of(separators);
    choice.fileOffset = separator == std::string::npos ? 0 : separator + 1;
    const size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && dot >= choice.fileOffset) choice.extensionOffset = dot + 1;
    return choice;
}

void SplitChosenFile(const ChosenFile& choice, std::string* directory, std::string* baseName) {
    const size_t fileOffset = std::min(choice.fileOffset, choice.path.size());
    *directory = choice.path.substr(0, fileOffset);
    const std::string title = choice.path.substr(fileOffset);
    // The dot sits just before the reported extension. A name without one, or an offset
    // that does not point into the title, keeps the whole title.
    if (choice.extensionOffset > fileOffset &&
        choice.extensionOffset - fileOffset - 1 < title.size()) {
        *baseName = title.substr(0, choice.extensionOffset - fileOffset - 1);
    } else {
        *baseName = title;
    }
}

bool RunOpenCommand() {
    ChosenFile choice;
    if (!FrontendChooseIndexFile(&choice)) return false;
    std::string directory;
    std::string baseName;
    // Nothing is lost yet: without the memory to read the choice, the game shown stays.
    if (!TryAllocate([&] { SplitChosenFile(choice, &directory, &baseName); })) return false;
    if (OpenGame(directory, baseName)) return true;
    ReleaseViewer();
    ClearScreen();
    DrawStatusText("Please open a file.");
    return false;
}

bool OpenGame(const std::string& directory, const std::string& baseName) {
    ReleaseViewer();
    if (!TryAllocate([] { g_viewer = std::make_unique<CostumeViewer>(); }) ||
        !g_viewer->Open(directory, baseName)) {
        return false;
    }
    g_viewer->SelectCostume(1);
    g_viewer->Draw(g_screen);
    return true;
}
