#include "frontends/gtk/chosen_file.h"

#include "app/chosen_file.h"

ChosenFile ChosenFileFromPath(const std::string& path) {
    return ChosenFileFromPath(path, "/");
}
