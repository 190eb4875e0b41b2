// File > Open: the chosen index file names the game's directory and base name.
#include "app/open_command.h"

#include "app/chosen_file.h"
#include "app/frontend.h"
#include "app/process_objects.h"
#include "common/allocation.h"

void AskForAFile() {
    ClearScreen();
    DrawStatusText("Please open a file.");
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
    AskForAFile();
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
