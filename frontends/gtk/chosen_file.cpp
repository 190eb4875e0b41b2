#include "frontends/gtk/chosen_file.h"

ChosenFile ChosenFileFromPath(const std::string& path) {
    ChosenFile choice;
    choice.path = path;
    const size_t slash = path.rfind('/');
    choice.fileOffset = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot >= choice.fileOffset) choice.extensionOffset = dot + 1;
    return choice;
}
