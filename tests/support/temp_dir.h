// A fresh directory under the system's temporary directory, removed with its contents.
#pragma once

#include <filesystem>
#include <string>

struct TempDir {
    std::filesystem::path path;

    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory as the shell hands it to the archive: with a trailing separator.
    std::string WithSeparator() const;
};
