// File > Open: the chosen index file names the game's directory and base name.
#include <algorithm>

#include "app/shell.h"
#include "common/allocation.h"

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
    g_screen.Clear();
    DrawStatusText("Please open a file.");
    return false;
}
