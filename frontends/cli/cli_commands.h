// The tool's commands, each with the options its command line gave. Each returns the exit
// status: 0 when everything asked was done, 1 when the game could not be opened or
// something asked for failed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct InfoOptions {
    std::string indexFile;
    bool json = false;
};

struct ExportOptions {
    std::string indexFile;
    std::vector<uint32_t> costumes;  // empty: every costume from 1 to count - 1
    std::optional<uint16_t> frame;   // none: every frame
    std::string outDirectory = ".";
    std::optional<uint8_t> transparentIndex;
    bool sheet = false;
};

struct ScreenOptions {
    std::string indexFile;
    uint32_t costume = 1;
    uint16_t frame = 1;
    bool zoom = false;
    std::string outFile;
};

int RunInfo(const InfoOptions& options);
int RunExport(const ExportOptions& options);
int RunScreen(const ScreenOptions& options);
int RunMakeDemo(const std::string& directory);
