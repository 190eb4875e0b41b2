// export: costumes as indexed PNG frames, sprite sheets with their JSON, animated GIFs and
// palette files. Each costume's frames are measured first, so that a costume whose frames
// would take too long to decode is refused before any work, then rendered once for every
// output asked for.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "costume/costume_palette.h"
#include "costume/decode_budget.h"
#include "frontends/cli/cli_commands.h"
#include "frontends/cli/cli_game.h"
#include "frontends/cli/cli_output.h"
#include "frontends/cli/costume_export.h"
#include "frontends/cli/gif_writer.h"
#include "frontends/cli/output_file.h"
#include "frontends/cli/png_writer.h"
#include "frontends/cli/sheet_layout.h"

namespace {

namespace fs = std::filesystem;

// A rendered frame kept for a sheet or a GIF; its palette is the costume's.
struct KeptFrame {
    uint16_t number = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    std::vector<uint8_t> pixels;
};

// Widens a row of indices by whole-pixel replication.
void PutScaledRow(const uint8_t* source, uint32_t width, uint32_t scale, uint8_t* target) {
    for (uint32_t x = 0; x < width; ++x) std::memset(target + size_t{x} * scale, source[x], scale);
}

uint32_t RoundedQuotient(uint32_t numerator, uint32_t denominator) {
    return (2 * numerator + denominator) / (2 * denominator);
}

// The sheet's rows, made one at a time from the kept frames of the band they cross.
struct SheetRows {
    const SheetLayout& layout;
    const std::vector<KeptFrame>& frames;  // the layout's cells, in order
    uint32_t scale;
    uint8_t background;
    std::vector<uint8_t> row = std::vector<uint8_t>(layout.width);
    size_t band = 0;

    const uint8_t* At(uint32_t y) {
        std::fill(row.begin(), row.end(), background);
        while (band < layout.bands.size() &&
               y >= layout.bands[band].y + layout.bands[band].height) {
            ++band;
        }
        if (band == layout.bands.size() || y < layout.bands[band].y) return row.data();
        const SheetLayout::Band& current = layout.bands[band];
        for (size_t i = current.firstCell; i < current.firstCell + current.cellCount; ++i) {
            const SheetLayout::Cell& cell = layout.cells[i];
            if (y >= cell.y + cell.height) continue;
            const KeptFrame& frame = frames[i];
            const size_t sourceRow = (y - cell.y) / scale;
            PutScaledRow(&frame.pixels[sourceRow * frame.width], frame.width, scale,
                         &row[cell.x]);
        }
        return row.data();
    }
};

// What this command has charged to kRunDecodePixelBudget so far, over every costume and
// every Exporter it makes (a process runs one command).
struct RunCharge {
    uint64_t pixels = 0;
    bool spent = false;
};
RunCharge g_runCharge;

struct Exporter {
    const ExportOptions& options;
    CliGame& game;
    fs::path directory;
    bool costumesNamed = false;    // --costume given: a costume not present is an error
    bool severalCostumes = false;  // a frame past a costume's end is then only noted
    uint64_t costumesDone = 0;
    uint64_t costumesTotal = 0;
    std::vector<std::string>* written = nullptr;  // when set, the names of the files written

    bool WritingFrames() const { return options.format == ImageFormat::Png && !options.sheet; }
    uint8_t Background() const { return options.transparentIndex.value_or(0); }

    bool Write(const fs::path& path, const FileFiller& fill) const {
        if (!WriteOutputFile(*game.archive, path, true, fill)) return false;
        if (written != nullptr) written->push_back(path.filename().string());
        return true;
    }

    void ShowCostumeProgress(uint32_t costume, uint32_t frame, uint32_t frameCount) const {
        ShowProgress("Exporting costume " + std::to_string(costume) + " (" +
                     std::to_string(costumesDone + 1) + " of " + std::to_string(costumesTotal) +
                     "), frame " + std::to_string(frame) + " of " + std::to_string(frameCount));
    }

    void ExportCostume(uint32_t number) {
        SetSubject(CostumeSubject(number));
        LoadedCostume loaded;
        if (loaded.Load(*game.archive, number) == CostumeLoadResult::NotPresent) {
            if (costumesNamed) {
                ReportFailure(NotPresentMessage(number));
            } else {
                PrintNote(NotPresentMessage(number) + " Skipped.");
            }
            return;
        }
        if (loaded.Loaded()) ExportLoaded(number, *loaded.costume);
    }

    void ExportLoaded(uint32_t number, Costume& costume) {
        const CostumePalette palette = PaletteOf(costume);
        if (options.palette) WritePaletteFile(number, palette, *options.palette);
        if (options.paletteOnly) return;
        if (costume.FrameCount() == 0) {
            PrintNote("Costume " + std::to_string(number) + " has no frames.");
            return;
        }
        std::vector<SheetLayout::FrameSize> sizes;
        if (!MeasureFrames(number, costume, SelectedFrames(number, costume.FrameCount()),
                           &sizes)) {
            return;
        }
        // A sheet or a GIF too large is refused from the size records, before any decoding.
        SetSubject(CostumeSubject(number));
        const bool sheet = options.sheet && SheetFits(number, sizes);
        const bool gif = options.format == ImageFormat::Gif && AnimationFits(number, sizes);
        if (!sheet && !gif && !WritingFrames()) return;
        const std::vector<KeptFrame> kept =
            RenderFrames(number, costume, sizes, palette, sheet || gif);
        SetSubject(CostumeSubject(number));
        if (sheet) WriteSheet(number, kept, palette);
        if (gif) WriteAnimation(number, kept, palette);
    }

    // The frames asked for that the costume has, in order. Those past its end are an error
    // when one costume is exported, and noted once when several are.
    std::vector<uint16_t> SelectedFrames(uint32_t number, uint16_t count) const {
        std::vector<uint16_t> frames;
        if (options.frames.Empty()) {
            for (uint32_t frame = 1; frame <= count; ++frame) {
                frames.push_back(static_cast<uint16_t>(frame));
            }
            return frames;
        }
        uint32_t firstMissing = 0;
        for (const Selection::Range& range : options.frames.ranges) {
            for (uint32_t frame = range.first; frame <= range.last && frame <= count; ++frame) {
                frames.push_back(static_cast<uint16_t>(frame));
            }
            if (range.last > count && firstMissing == 0) {
                firstMissing = std::max<uint32_t>(range.first, count + 1u);
            }
        }
        if (firstMissing == 0) return frames;
        if (severalCostumes) {
            PrintNote("Costume " + std::to_string(number) + " has " + std::to_string(count) +
                      (count == 1 ? " frame" : " frames") + ": the frames asked for from " +
                      std::to_string(firstMissing) + " on are skipped.");
        } else {
            SetSubject(FrameSubject(number, firstMissing));
            ReportFailure("Frame out of range.");
            EmitErrors();
        }
        return frames;
    }

    // The sizes of the frames that have pixels; false, with a note, when decoding them all
    // would go past the budget.
    bool MeasureFrames(uint32_t number, Costume& costume, const std::vector<uint16_t>& frames,
                       std::vector<SheetLayout::FrameSize>* sizes) const {
        uint64_t pixels = 0;
        for (uint16_t frame : frames) {
            SetSubject(FrameSubject(number, frame));
            const bool selected = costume.SelectFrame(frame);
            if (!selected) EmitErrors();
            const uint64_t area =
                selected ? uint64_t{costume.FrameWidth()} * costume.FrameHeight() : 0;
            if (!ChargeRun(number, area)) return false;
            if (!selected) continue;
            if (area == 0) {
                PrintNote("Costume " + std::to_string(number) + ", frame " +
                          std::to_string(frame) + " has no pixels. Skipped.");
                continue;
            }
            pixels += area;
            if (pixels > kCostumeDecodePixelBudget) {
                PrintRefusal("Costume " + std::to_string(number) + " has more than " +
                             std::to_string(kCostumeDecodePixelBudget) +
                             " pixels of frames to decode, more than any real costume: "
                             "not exported.");
                return false;
            }
            sizes->push_back({frame, costume.FrameWidth(), costume.FrameHeight()});
        }
        return true;
    }

    // Counts one frame against the whole command's budget; false, with a note, once that is
    // spent: this costume and every one after it are then left alone.
    bool ChargeRun(uint32_t number, uint64_t area) const {
        g_runCharge.pixels += std::max(area, kFrameDecodeCharge);
        if (g_runCharge.pixels <= kRunDecodePixelBudget) return true;
        g_runCharge.spent = true;
        SetSubject(CostumeSubject(number));
        PrintRefusal("Costume " + std::to_string(number) +
                     " and the costumes after it are not exported: this command has reached "
                     "its limit of " +
                     std::to_string(kRunDecodePixelBudget) +
                     " pixels of frames, more than any real game has.");
        return false;
    }

    // Renders each measured frame: written at once as a PNG, and kept for a sheet or a GIF.
    std::vector<KeptFrame> RenderFrames(uint32_t number, Costume& costume,
                                        const std::vector<SheetLayout::FrameSize>& sizes,
                                        const CostumePalette& palette, bool keep) const {
        std::vector<KeptFrame> kept;
        for (const SheetLayout::FrameSize& size : sizes) {
            SetSubject(FrameSubject(number, size.frame));
            ShowCostumeProgress(number, size.frame, costume.FrameCount());
            IndexedImage image;
            if (!costume.SelectFrame(size.frame) || !costume.Render(&image, 0, 0)) {
                EmitErrors();
                continue;
            }
            KeptFrame frame{size.frame, image.width, image.height, std::move(image.pixels)};
            if (WritingFrames()) {
                WriteFramePng(number, frame, palette);
                EmitErrors();
            }
            if (keep) kept.push_back(std::move(frame));
        }
        return kept;
    }

    void WriteFramePng(uint32_t number, const KeptFrame& frame,
                       const CostumePalette& palette) const {
        const uint32_t scale = options.scale;
        std::vector<uint8_t> row(size_t{frame.width} * scale);
        PngPicture picture{frame.width * scale, frame.height * scale, palette.data(),
                           options.transparentIndex, [&](uint32_t y) {
                               PutScaledRow(&frame.pixels[size_t{y / scale} * frame.width],
                                            frame.width, scale, row.data());
                               return row.data();
                           }};
        Write(directory / (FrameName(number, frame.number) + ".png"),
              [&](std::FILE* file, std::string* error) { return WritePng(file, picture, error); });
    }

    static std::vector<SheetLayout::FrameSize> SizesOf(const std::vector<KeptFrame>& frames) {
        std::vector<SheetLayout::FrameSize> sizes;
        for (const KeptFrame& frame : frames) {
            sizes.push_back({frame.number, frame.width, frame.height});
        }
        return sizes;
    }

    SheetLayout LayOut(const std::vector<SheetLayout::FrameSize>& sizes) const {
        SheetLayout layout;
        layout.Place(options.layout, sizes, options.scale, options.padding);
        return layout;
    }

    // False, with a note, when there is nothing to put on the sheet or it would be too large.
    bool SheetFits(uint32_t number, const std::vector<SheetLayout::FrameSize>& sizes) const {
        if (sizes.empty()) {
            PrintNote("Costume " + std::to_string(number) + " has no frames to put on a sheet.");
            return false;
        }
        const SheetLayout layout = LayOut(sizes);
        if (layout.WithinBounds()) return true;
        PrintRefusal("Costume " + std::to_string(number) + ": its sheet would be " +
                     std::to_string(layout.width) + " x " + std::to_string(layout.height) +
                     " pixels, more than 16384 a side or 64 Mpixel, and is not written. Try "
                     "--layout grid.");
        return false;
    }

    void WriteSheet(uint32_t number, const std::vector<KeptFrame>& frames,
                    const CostumePalette& palette) const {
        // Frames that failed to render are left out: lay out again what there is.
        const std::vector<SheetLayout::FrameSize> sizes = SizesOf(frames);
        if (!SheetFits(number, sizes)) return;
        const SheetLayout layout = LayOut(sizes);
        const std::string name = CostumeName(number);
        const fs::path imagePath = directory / (name + "-sheet.png");
        const fs::path jsonPath = directory / (name + "-sheet.json");
        if (HidesGameFile(*game.archive, jsonPath)) {
            ReportFailure("Refusing to write over a game file: " + jsonPath.string());
            return;
        }
        SheetRows rows{layout, frames, options.scale, Background()};
        const PngPicture picture{static_cast<uint32_t>(layout.width),
                                 static_cast<uint32_t>(layout.height), palette.data(),
                                 options.transparentIndex,
                                 [&rows](uint32_t y) { return rows.At(y); }};
        if (!Write(imagePath, [&](std::FILE* file, std::string* error) {
                return WritePng(file, picture, error);
            })) {
            return;
        }
        const SheetJson json{number, imagePath.filename().string(), options.hashJson,
                             options.scale, RoundedQuotient(1000, options.fps)};
        Write(jsonPath, [&](std::FILE* file, std::string* error) {
            WriteSheetJson(file, layout, json);
            if (std::ferror(file) == 0) return true;
            *error = std::strerror(errno);
            return false;
        });
    }

    // False, with a note, when there is nothing to animate or the GIF would be too large:
    // every frame covers the whole screen, so that, not the frames, is the work to bound.
    bool AnimationFits(uint32_t number, const std::vector<SheetLayout::FrameSize>& sizes) const {
        if (sizes.empty()) {
            PrintNote("Costume " + std::to_string(number) + " has no frames to animate.");
            return false;
        }
        uint64_t width = 0, height = 0;
        for (const SheetLayout::FrameSize& size : sizes) {
            width = std::max<uint64_t>(width, size.width);
            height = std::max<uint64_t>(height, size.height);
        }
        if (width * height * sizes.size() <= kCostumeDecodePixelBudget &&
            width * options.scale <= 0xFFFF && height * options.scale <= 0xFFFF) {
            return true;
        }
        PrintRefusal("Costume " + std::to_string(number) + ": its GIF would be " +
                     std::to_string(sizes.size()) + " frames of " +
                     std::to_string(width * options.scale) + " x " +
                     std::to_string(height * options.scale) +
                     " pixels, more than a GIF can hold or any real costume needs, and is not "
                     "written.");
        return false;
    }

    void WriteAnimation(uint32_t number, const std::vector<KeptFrame>& frames,
                        const CostumePalette& palette) const {
        if (!AnimationFits(number, SizesOf(frames))) return;
        uint32_t width = 0, height = 0;
        for (const KeptFrame& frame : frames) {
            width = std::max<uint32_t>(width, frame.width);
            height = std::max<uint32_t>(height, frame.height);
        }
        const uint32_t scale = options.scale;
        std::vector<uint8_t> row(size_t{width} * scale);
        const GifAnimation animation{
            static_cast<uint16_t>(width * scale),
            static_cast<uint16_t>(height * scale),
            static_cast<uint32_t>(frames.size()),
            palette.data(),
            options.transparentIndex,
            static_cast<uint16_t>(RoundedQuotient(100, options.fps)),
            [&](uint32_t index, uint32_t y) {
                std::fill(row.begin(), row.end(), Background());
                const KeptFrame& frame = frames[index];
                if (y < uint32_t{frame.height} * scale) {
                    PutScaledRow(&frame.pixels[size_t{y / scale} * frame.width], frame.width,
                                 scale, row.data());
                }
                return row.data();
            }};
        Write(directory / (CostumeName(number) + ".gif"),
              [&](std::FILE* file, std::string* error) {
                  return WriteGif(file, animation, error);
              });
    }

    void WritePaletteFile(uint32_t number, const CostumePalette& palette,
                          PaletteFormat format) const {
        Write(directory / (CostumeName(number) + "." + PaletteExtension(format)),
              [&](std::FILE* file, std::string* error) {
                  return WritePalette(file, format, palette.data(), CostumeName(number),
                                      options.transparentIndex, error);
              });
        EmitErrors();
    }
};

}  // namespace

std::vector<std::string> ExportCostumeFiles(const ExportOptions& options, CliGame& game,
                                            uint32_t number, Costume& costume,
                                            const std::vector<PaletteFormat>& palettes,
                                            CostumeExportProgress progress) {
    std::vector<std::string> written;
    Exporter exporter{options, game, options.outDirectory};
    exporter.severalCostumes = true;
    exporter.costumesDone = progress.done;
    exporter.costumesTotal = progress.total;
    exporter.written = &written;
    for (PaletteFormat format : palettes) {
        exporter.WritePaletteFile(number, PaletteOf(costume), format);
    }
    exporter.ExportLoaded(number, costume);
    EmitErrors();
    return written;
}

bool ExportLimitReached() {
    return g_runCharge.spent;
}

int RunExport(const ExportOptions& options) {
    CliGame game;
    if (!game.Open(options.indexFile)) return 1;
    const uint32_t count = game.CostumeCount();
    Exporter exporter{options, game, options.outDirectory};
    exporter.costumesNamed = !options.costumes.Empty();
    exporter.severalCostumes = options.costumes.Empty() || options.costumes.Count() > 1;
    Selection costumes = options.costumes;
    if (costumes.Empty() && count > 1) costumes.AddRange(1, count - 1);
    if (costumes.Empty()) PrintNote("The game has no costumes to export.");
    for (const Selection::Range& range : costumes.ranges) {
        if (range.first >= count) break;
        exporter.costumesTotal += std::min<uint64_t>(range.last, count - 1u) - range.first + 1;
    }
    [&] {
        for (const Selection::Range& range : costumes.ranges) {
            for (uint64_t number = range.first; number <= range.last; ++number) {
                if (number >= count) {
                    // The ranges ascend: every costume from here on is past the end too.
                    SetSubject(CostumeSubject(static_cast<uint32_t>(number)));
                    ReportFailure("Costume out of range.");
                    return;
                }
                exporter.ExportCostume(static_cast<uint32_t>(number));
                EmitErrors();
                if (ExportLimitReached()) return;
                ++exporter.costumesDone;
            }
        }
    }();
    EmitErrors();
    ClearProgress();
    return AnyErrorEmitted() ? 1 : 0;
}
