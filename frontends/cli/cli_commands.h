// The tool's commands, each with the options its command line gave. Each returns the exit
// status: 0 when everything asked was done, 1 when the game could not be opened or
// something asked for failed or was refused.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "frontends/cli/palette_writer.h"
#include "frontends/cli/selection.h"
#include "frontends/cli/sheet_layout.h"

struct InfoOptions {
    std::string indexFile;
    bool json = false;
};

enum class ImageFormat { Png, Gif };

struct ExportOptions {
    std::string indexFile;
    Selection costumes;  // empty: every costume from 1 to count - 1
    Selection frames;    // empty: every frame
    std::string outDirectory = ".";
    std::optional<uint8_t> transparentIndex;
    ImageFormat format = ImageFormat::Png;
    bool sheet = false;
    SheetArrangement layout = SheetArrangement::Row;
    bool hashJson = false;
    uint32_t padding = 0;
    uint32_t fps = 10;
    uint32_t scale = 1;
    std::optional<PaletteFormat> palette;
    bool paletteOnly = false;
};

struct ScreenOptions {
    std::string indexFile;
    uint32_t costume = 1;
    uint16_t frame = 1;
    bool zoom = false;
    std::string outFile;
};

struct GalleryOptions {
    std::string indexFile;
    std::string outDirectory;
    uint32_t scale = 1;
    std::optional<uint8_t> transparentIndex;
};

int RunInfo(const InfoOptions& options);
int RunExport(const ExportOptions& options);
int RunScreen(const ScreenOptions& options);
int RunGallery(const GalleryOptions& options);
int RunMakeDemo(const std::string& directory);
