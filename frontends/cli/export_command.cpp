// export: the rendered frames as indexed PNG files, one per frame or one sheet per costume.
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <system_error>

#include "frontends/cli/cli_commands.h"
#include "frontends/cli/cli_game.h"
#include "frontends/cli/cli_output.h"
#include "frontends/cli/frame_sheet.h"
#include "frontends/cli/png_writer.h"

namespace {

struct Exporter {
    const ExportOptions& options;
    CliGame& game;
    std::filesystem::path directory;
    size_t costumesDone = 0;
    size_t costumesTotal = 0;

    std::filesystem::path OutputPath(uint32_t costume, const char* suffix) const {
        char name[64];
        std::snprintf(name, sizeof name, "costume-%04u-%s", costume, suffix);
        return directory / name;
    }

    // Refuses a path that is one of the game's files; the caller then writes nothing there.
    bool MayWrite(const std::filesystem::path& path) const {
        if (!game.IsGameFile(path)) return true;
        ReportFailure("Refusing to write over a game file: " + path.string());
        return false;
    }

    bool WritePicture(const std::filesystem::path& path, const PngPicture& picture) const {
        if (!MayWrite(path)) return false;
        std::string error;
        if (WritePng(path, picture, &error)) return true;
        ReportFailure("Cannot write " + path.string() + ": " + error);
        return false;
    }

    void ShowCostumeProgress(uint32_t costume, uint32_t frame, uint32_t frameCount) const {
        ShowProgress("Exporting costume " + std::to_string(costume) + " (" +
                     std::to_string(costumesDone + 1) + " of " + std::to_string(costumesTotal) +
                     "), frame " + std::to_string(frame) + " of " + std::to_string(frameCount));
    }

    // The frames of one costume that the options ask for; false when the asked one is not there.
    bool FramesToExport(const Costume& costume, uint16_t* first, uint16_t* last) const {
        *first = 1;
        *last = costume.FrameCount();
        if (!options.frame) return true;
        if (*options.frame > costume.FrameCount()) {
            ReportFailure("Frame out of range.");
            return false;
        }
        *first = *last = *options.frame;
        return true;
    }

    void ExportCostume(uint32_t number, bool asked) {
        if (number >= game.CostumeCount()) {
            ReportFailure("Costume out of range.");
            return;
        }
        LoadedCostume loaded;
        if (loaded.Load(*game.archive, number) == CostumeLoadResult::NotPresent) {
            if (asked) {
                ReportFailure(NotPresentMessage(number));
            } else {
                PrintNote(NotPresentMessage(number) + " Skipped.");
            }
            return;
        }
        if (!loaded.Loaded()) return;
        Costume& costume = *loaded.costume;
        uint16_t first = 0, last = 0;
        if (!FramesToExport(costume, &first, &last)) return;
        if (costume.FrameCount() == 0) {
            PrintNote("Costume " + std::to_string(number) + " has no frames.");
            return;
        }
        FrameSheet sheet;
        for (uint32_t frame = first; frame <= last; ++frame) {
            ShowCostumeProgress(number, frame, costume.FrameCount());
            IndexedImage image;
            if (!RenderFrame(costume, static_cast<uint16_t>(frame), &image)) {
                EmitErrors();
                continue;
            }
            if (image.width == 0 || image.height == 0) {
                PrintNote("Costume " + std::to_string(number) + ", frame " + std::to_string(frame) +
                          " has no pixels. Skipped.");
                continue;
            }
            if (options.sheet) {
                if (!sheet.Add(static_cast<uint16_t>(frame), std::move(image))) break;
                continue;
            }
            char suffix[32];
            std::snprintf(suffix, sizeof suffix, "frame-%03u.png", frame);
            WritePicture(OutputPath(number, suffix), IndexedPicture(image));
            EmitErrors();
        }
        if (options.sheet) WriteSheet(number, sheet);
    }

    PngPicture IndexedPicture(const IndexedImage& image) const {
        return PngPicture{image.width, image.height, image.pixels.data(), image.palette.data(),
                          options.transparentIndex};
    }

    void WriteSheet(uint32_t number, FrameSheet& sheet) const {
        if (sheet.frames.empty()) {
            PrintNote("Costume " + std::to_string(number) + " has no frames to put on a sheet.");
            return;
        }
        if (!sheet.Compose(options.transparentIndex.value_or(0))) return;
        const std::filesystem::path imagePath = OutputPath(number, "sheet.png");
        const std::filesystem::path layoutPath = OutputPath(number, "sheet.json");
        if (!MayWrite(layoutPath)) return;
        const PngPicture picture{sheet.width, sheet.height, sheet.pixels.data(),
                                 sheet.palette.data(), options.transparentIndex};
        if (!WritePicture(imagePath, picture)) return;
        std::ofstream layout(layoutPath, std::ios::binary | std::ios::trunc);
        layout << sheet.Layout(number, imagePath.filename().string()).dump(2) << '\n';
        layout.close();
        if (!layout) ReportFailure("Cannot write " + layoutPath.string() + ".");
    }
};

bool MakeDirectory(const std::filesystem::path& directory) {
    std::error_code failed;
    std::filesystem::create_directories(directory, failed);
    if (failed) {
        ReportFailure("Cannot create " + directory.string() + ": " + failed.message());
        return false;
    }
    return true;
}

}  // namespace

int RunExport(const ExportOptions& options) {
    CliGame game;
    if (!game.Open(options.indexFile)) return 1;
    Exporter exporter{options, game, options.outDirectory};
    if (!MakeDirectory(exporter.directory)) {
        EmitErrors();
        return 1;
    }
    std::vector<uint32_t> costumes = options.costumes;
    const bool asked = !costumes.empty();
    for (uint32_t number = 1; !asked && number < game.CostumeCount(); ++number) {
        costumes.push_back(number);
    }
    if (costumes.empty()) PrintNote("The game has no costumes to export.");
    exporter.costumesTotal = costumes.size();
    for (uint32_t number : costumes) {
        exporter.ExportCostume(number, asked);
        EmitErrors();
        ++exporter.costumesDone;
    }
    ClearProgress();
    return AnyErrorEmitted() ? 1 : 0;
}
