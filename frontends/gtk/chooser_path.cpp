#include "frontends/gtk/chooser_path.h"

#include "app/chosen_file.h"

ChosenFile ChosenFileFromChooserPath(const std::string& path) {
    return ChosenFileFromPath(path, "/");
}
