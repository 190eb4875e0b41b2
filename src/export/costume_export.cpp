#include "export/costume_export.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

#include "costume/costume_palette.h"
#include "costume/decode_budget.h"
#include "export/frame_rows.h"
#include "export/gif_writer.h"
#include "export/output_file.h"
#include "export/output_names.h"
#include "export/png_writer.h"
#include "export/sheet_json.h"

namespace {

uint32_t RoundedQuotient(uint32_t numerator, uint32_t denominator) {
    return (2 * numerator + denominator) / (2 * denominator);
}

uint8_t Background(const ExportOptions& options) {
    return options.transparentIndex.value_or(0);
}

std::string FolderFile(const CostumeJob& job, const std::string& name) {
    return JoinPath(job.options.outDirectory, name);
}

bool Write(CostumeJob& job, const std::string& path, const FileFiller& fill) {
    if (!WriteOutputFile(*job.game.archive, path, true, fill, job.report)) return false;
    if (job.written != nullptr) job.written->push_back(NameOf(path));
    return true;
}

void ShowCostumeProgress(const CostumeJob& job, uint32_t costume, uint32_t frame,
                         uint32_t frameCount) {
    job.report.Progress("Exporting costume " + std::to_string(costume) + " (" +
                        std::to_string(job.costumesDone + 1) + " of " +
                        std::to_string(job.costumesTotal) + "), frame " + std::to_string(frame) +
                        " of " + std::to_string(frameCount));
}

// The frames asked for that the costume has, in order. Those past its end are an error
// when one costume is exported, and noted once when several are.
std::vector<uint16_t> SelectedFrames(CostumeJob& job, uint32_t number, uint16_t count) {
    std::vector<uint16_t> frames;
    const Selection& asked = job.options.frames;
    if (asked.Empty()) {
        for (uint32_t frame = 1; frame <= count; ++frame) {
            frames.push_back(static_cast<uint16_t>(frame));
        }
        return frames;
    }
    uint32_t firstMissing = 0;
    for (const Selection::Range& range : asked.ranges) {
        for (uint32_t frame = range.first; frame <= range.last && frame <= count; ++frame) {
            frames.push_back(static_cast<uint16_t>(frame));
        }
        if (range.last > count && firstMissing == 0) {
            firstMissing = std::max<uint32_t>(range.first, count + 1u);
        }
    }
    if (firstMissing == 0) return frames;
    if (job.severalCostumes) {
        job.report.Note("Costume " + std::to_string(number) + " has " + std::to_string(count) +
                        (count == 1 ? " frame" : " frames") + ": the frames asked for from " +
                        std::to_string(firstMissing) + " on are skipped.");
    } else {
        job.report.subject = FrameSubject(number, firstMissing);
        job.report.Error("Frame out of range.");
    }
    return frames;
}

// Counts one frame against the whole job's budget; false, with a refusal, once that is
// spent: this costume and every one after it are then left alone.
bool ChargeRun(CostumeJob& job, uint32_t number, uint64_t area) {
    job.budget.pixels += std::max(area, kFrameDecodeCharge);
    if (job.budget.pixels <= kRunDecodePixelBudget) return true;
    job.budget.spent = true;
    job.report.subject = CostumeSubject(number);
    job.report.Refusal("Costume " + std::to_string(number) +
                       " and the costumes after it are not exported: this command has reached "
                       "its limit of " +
                       std::to_string(kRunDecodePixelBudget) +
                       " pixels of frames, more than any real game has.");
    return false;
}

// The sizes of the frames that have pixels; false, with a refusal, when decoding them all
// would go past a budget.
bool MeasureFrames(CostumeJob& job, uint32_t number, Costume& costume,
                   const std::vector<uint16_t>& frames,
                   std::vector<SheetLayout::FrameSize>* sizes) {
    uint64_t pixels = 0;
    for (uint16_t frame : frames) {
        job.report.subject = FrameSubject(number, frame);
        const bool selected = costume.SelectFrame(frame);
        const uint64_t area =
            selected ? uint64_t{costume.FrameWidth()} * costume.FrameHeight() : 0;
        if (!ChargeRun(job, number, area)) return false;
        if (!selected) continue;
        if (area == 0) {
            job.report.Note("Costume " + std::to_string(number) + ", frame " +
                            std::to_string(frame) + " has no pixels. Skipped.");
            continue;
        }
        pixels += area;
        if (pixels > kCostumeDecodePixelBudget) {
            job.report.Refusal("Costume " + std::to_string(number) + " has more than " +
                               std::to_string(kCostumeDecodePixelBudget) +
                               " pixels of frames to decode, more than any real costume: "
                               "not exported.");
            return false;
        }
        sizes->push_back({frame, costume.FrameWidth(), costume.FrameHeight()});
    }
    return true;
}

SheetLayout LayOut(const ExportOptions& options, const std::vector<SheetLayout::FrameSize>& sizes) {
    SheetLayout layout;
    layout.Place(options.layout, sizes, options.scale, options.padding);
    return layout;
}

// False, said, when there is nothing to put on the sheet or it would be too large.
bool SheetFits(CostumeJob& job, uint32_t number, const std::vector<SheetLayout::FrameSize>& sizes) {
    if (sizes.empty()) {
        job.report.Note("Costume " + std::to_string(number) + " has no frames to put on a sheet.");
        return false;
    }
    const SheetLayout layout = LayOut(job.options, sizes);
    if (layout.WithinBounds()) return true;
    job.report.Refusal("Costume " + std::to_string(number) + ": its sheet would be " +
                       std::to_string(layout.width) + " x " + std::to_string(layout.height) +
                       " pixels, more than 16384 a side or 64 Mpixel, and is not written. Try "
                       "--layout grid.");
    return false;
}

// False, said, when there is nothing to animate or the GIF would be too large: every frame
// covers the whole screen, so that, not the frames, is the work to bound.
bool AnimationFits(CostumeJob& job, uint32_t number,
                   const std::vector<SheetLayout::FrameSize>& sizes) {
    if (sizes.empty()) {
        job.report.Note("Costume " + std::to_string(number) + " has no frames to animate.");
        return false;
    }
    uint64_t width = 0, height = 0;
    for (const SheetLayout::FrameSize& size : sizes) {
        width = std::max<uint64_t>(width, size.width);
        height = std::max<uint64_t>(height, size.height);
    }
    const uint32_t scale = job.options.scale;
    if (width * height * sizes.size() <= kCostumeDecodePixelBudget && width * scale <= 0xFFFF &&
        height * scale <= 0xFFFF) {
        return true;
    }
    job.report.Refusal("Costume " + std::to_string(number) + ": its GIF would be " +
                       std::to_string(sizes.size()) + " frames of " +
                       std::to_string(width * scale) + " x " + std::to_string(height * scale) +
                       " pixels, more than a GIF can hold or any real costume needs, and is not "
                       "written.");
    return false;
}

std::vector<SheetLayout::FrameSize> SizesOf(const std::vector<KeptFrame>& frames) {
    std::vector<SheetLayout::FrameSize> sizes;
    for (const KeptFrame& frame : frames) sizes.push_back({frame.number, frame.width, frame.height});
    return sizes;
}

void WriteFramePng(CostumeJob& job, uint32_t number, const KeptFrame& frame,
                   const CostumePalette& palette) {
    const uint32_t scale = job.options.scale;
    std::vector<uint8_t> row(size_t{frame.width} * scale);
    const PngPicture picture{frame.width * scale, frame.height * scale, palette.data(),
                             job.options.transparentIndex, [&](uint32_t y) {
                                 PutScaledRow(&frame.pixels[size_t{y / scale} * frame.width],
                                              frame.width, scale, row.data());
                                 return row.data();
                             }};
    Write(job, FolderFile(job, FrameName(number, frame.number) + ".png"),
          [&](std::FILE* file, std::string* error) { return WritePng(file, picture, error); });
}

// Renders each planned frame: written at once as a PNG, and kept for a sheet or a GIF.
std::vector<KeptFrame> RenderFrames(CostumeJob& job, uint32_t number, Costume& costume,
                                    const CostumePlan& plan, const CostumePalette& palette) {
    const bool keep = plan.sheet || plan.gif;
    std::vector<KeptFrame> kept;
    for (const SheetLayout::FrameSize& size : plan.frames) {
        if (job.report.stopped) break;  // the folder refuses: nothing more is written
        job.report.subject = FrameSubject(number, size.frame);
        ShowCostumeProgress(job, number, size.frame, costume.FrameCount());
        IndexedImage image;
        if (!costume.SelectFrame(size.frame) || !costume.Render(&image, 0, 0)) continue;
        KeptFrame frame{size.frame, image.width, image.height, std::move(image.pixels)};
        if (plan.pngFrames) WriteFramePng(job, number, frame, palette);
        if (keep) kept.push_back(std::move(frame));
    }
    return kept;
}

void WriteSheet(CostumeJob& job, uint32_t number, const std::vector<KeptFrame>& frames,
                const CostumePalette& palette) {
    // Frames that failed to render are left out: lay out again what there is.
    const std::vector<SheetLayout::FrameSize> sizes = SizesOf(frames);
    if (!SheetFits(job, number, sizes)) return;
    const ExportOptions& options = job.options;
    const SheetLayout layout = LayOut(options, sizes);
    const std::string name = CostumeName(number);
    const std::string imagePath = FolderFile(job, name + "-sheet.png");
    const std::string jsonPath = FolderFile(job, name + "-sheet.json");
    if (HidesGameFile(*job.game.archive, jsonPath)) {
        job.report.Error("Refusing to write over a game file: " + jsonPath);
        return;
    }
    SheetRows rows{layout, frames, options.scale, Background(options)};
    const PngPicture picture{static_cast<uint32_t>(layout.width),
                             static_cast<uint32_t>(layout.height), palette.data(),
                             options.transparentIndex, [&rows](uint32_t y) { return rows.At(y); }};
    if (!Write(job, imagePath, [&](std::FILE* file, std::string* error) {
            return WritePng(file, picture, error);
        })) {
        return;
    }
    const SheetJson json{number, NameOf(imagePath), options.hashJson, options.scale,
                         RoundedQuotient(1000, options.fps)};
    Write(job, jsonPath, [&](std::FILE* file, std::string* error) {
        WriteSheetJson(file, layout, json);
        if (std::ferror(file) == 0) return true;
        *error = std::strerror(errno);
        return false;
    });
}

void WriteAnimation(CostumeJob& job, uint32_t number, const std::vector<KeptFrame>& frames,
                    const CostumePalette& palette) {
    if (!AnimationFits(job, number, SizesOf(frames))) return;
    uint32_t width = 0, height = 0;
    for (const KeptFrame& frame : frames) {
        width = std::max<uint32_t>(width, frame.width);
        height = std::max<uint32_t>(height, frame.height);
    }
    const ExportOptions& options = job.options;
    const uint32_t scale = options.scale;
    AnimationRows rows{frames, width * scale, scale, Background(options)};
    const GifAnimation animation{
        static_cast<uint16_t>(width * scale),
        static_cast<uint16_t>(height * scale),
        static_cast<uint32_t>(frames.size()),
        palette.data(),
        options.transparentIndex,
        static_cast<uint16_t>(RoundedQuotient(100, options.fps)),
        [&rows](uint32_t index, uint32_t y) { return rows.At(index, y); }};
    Write(job, FolderFile(job, CostumeName(number) + ".gif"),
          [&](std::FILE* file, std::string* error) { return WriteGif(file, animation, error); });
}

}  // namespace

bool PlanCostume(CostumeJob& job, uint32_t number, Costume& costume, CostumePlan* plan) {
    const ExportOptions& options = job.options;
    if (costume.FrameCount() == 0) {
        job.report.Note("Costume " + std::to_string(number) + " has no frames.");
        return false;
    }
    const std::vector<uint16_t> frames = SelectedFrames(job, number, costume.FrameCount());
    if (!MeasureFrames(job, number, costume, frames, &plan->frames)) return false;
    // A sheet or a GIF too large is refused from the size records, before any decoding.
    job.report.subject = CostumeSubject(number);
    plan->pngFrames = options.format == ImageFormat::Png && !options.sheet;
    plan->sheet = options.sheet && SheetFits(job, number, plan->frames);
    plan->gif = options.format == ImageFormat::Gif && AnimationFits(job, number, plan->frames);
    return plan->WritesAnything();
}

void ExportLoadedCostume(CostumeJob& job, uint32_t number, Costume& costume) {
    for (PaletteFormat format : job.options.palettes) WritePaletteFile(job, number, costume, format);
    if (job.options.paletteOnly || job.report.stopped) return;
    CostumePlan plan;
    if (!PlanCostume(job, number, costume, &plan)) return;
    const CostumePalette palette = PaletteOf(costume);
    const std::vector<KeptFrame> kept = RenderFrames(job, number, costume, plan, palette);
    if (job.report.stopped) return;
    job.report.subject = CostumeSubject(number);
    if (plan.sheet) WriteSheet(job, number, kept, palette);
    if (plan.gif && !job.report.stopped) WriteAnimation(job, number, kept, palette);
}

void WritePaletteFile(CostumeJob& job, uint32_t number, const Costume& costume,
                      PaletteFormat format) {
    const CostumePalette palette = PaletteOf(costume);
    const std::string name = CostumeName(number);
    Write(job, FolderFile(job, name + "." + PaletteExtension(format)),
          [&](std::FILE* file, std::string* error) {
              return WritePalette(file, format, palette.data(), name, job.options.transparentIndex,
                                  error);
          });
}
