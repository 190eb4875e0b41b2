#include "app/chosen_file.h"

#include <algorithm>
#include <cstring>

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

bool IsIndexFileName(const std::string& name) {
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return false;
    const std::string extension = name.substr(dot + 1);
    // ASCII only, whatever the locale: the extensions are letters and digits.
    const auto sameLetter = [](char a, char b) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        return lower(a) == lower(b);
    };
    for (const char* candidate : kIndexFileExtensions) {
        if (extension.size() == std::strlen(candidate) &&
            std::equal(extension.begin(), extension.end(), candidate, sameLetter)) {
            return true;
        }
    }
    return false;
}
