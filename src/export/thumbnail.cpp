#include "export/thumbnail.h"

#include <algorithm>
#include <vector>

#include "display/indexed_image.h"
#include "export/export_game.h"
#include "export/output_file.h"
#include "export/png_writer.h"

namespace {

uint32_t CeilingQuotient(uint32_t numerator, uint32_t denominator) {
    return (numerator + denominator - 1) / denominator;
}

// Renders the first frame of the first costume, from 1 on, that has one with pixels. What
// the costumes tried say is not a failure of the thumbnail: it is only heard.
bool FirstFrame(ExportGame& game, ExportReport& report, IndexedImage* image) {
    const uint32_t end = std::min(game.CostumeCount(), kThumbnailCostumesTried + 1);
    report.quiet = true;
    bool found = false;
    for (uint32_t number = 1; number < end && !found; ++number) {
        ExportCostume costume;
        costume.Load(game, number, report);
        if (!costume.loaded.Loaded()) continue;
        Costume& loaded = *costume.loaded.costume;
        found = loaded.FrameCount() > 0 && loaded.SelectFrame(1) && loaded.FrameWidth() > 0 &&
                loaded.FrameHeight() > 0 && loaded.Render(image, 0, 0);
    }
    report.quiet = false;
    return found;
}

// The square's rows, made one at a time: transparent around the frame and wherever it has
// index 0.
struct ThumbnailRows {
    const IndexedImage& frame;
    ThumbnailFit fit;
    uint32_t size;
    uint32_t left = (size - fit.width) / 2;
    uint32_t top = (size - fit.height) / 2;
    std::vector<uint8_t> row = std::vector<uint8_t>(size_t{size} * 4);

    const uint8_t* At(uint32_t y) {
        std::fill(row.begin(), row.end(), 0);
        if (y < top || y >= top + fit.height) return row.data();
        const uint32_t frameY = (y - top) / fit.scale * fit.divisor;
        const uint8_t* source = &frame.pixels[size_t{frameY} * frame.width];
        for (uint32_t x = 0; x < fit.width; ++x) {
            const uint8_t index = source[x / fit.scale * fit.divisor];
            if (index == 0) continue;
            uint8_t* target = &row[(size_t{left} + x) * 4];
            std::copy_n(&frame.palette[size_t{index} * 3], 3, target);
            target[3] = 255;
        }
        return row.data();
    }
};

}  // namespace

ThumbnailFit FitThumbnail(uint32_t frameWidth, uint32_t frameHeight, uint32_t size) {
    ThumbnailFit fit;
    const uint32_t longest = std::max(frameWidth, frameHeight);
    if (longest == 0) return fit;
    if (longest <= size) {
        fit.scale = std::min(size / longest, kThumbnailMostScale);
    } else {
        fit.divisor = CeilingQuotient(longest, size);
    }
    fit.width = CeilingQuotient(frameWidth, fit.divisor) * fit.scale;
    fit.height = CeilingQuotient(frameHeight, fit.divisor) * fit.scale;
    return fit;
}

bool WriteThumbnail(const ThumbnailOptions& options, ExportReport& report) {
    const CurrentReportScope current(report);
    ExportGame game;
    if (!game.Open(options.indexFile, report)) return false;
    IndexedImage frame;
    if (!FirstFrame(game, report, &frame)) {
        report.subject = options.indexFile;
        report.Error("No costume has a frame to show: no thumbnail.");
        return false;
    }
    ThumbnailRows rows{frame, FitThumbnail(frame.width, frame.height, options.size),
                       options.size};
    PngPicture picture{options.size, options.size, nullptr, {},
                       [&rows](uint32_t y) { return rows.At(y); }};
    picture.alpha = true;
    report.subject = options.outFile;
    return WriteOutputFile(
        *game.archive, options.outFile, false,
        [&](std::FILE* file, std::string* error) { return WritePng(file, picture, error); },
        report);
}
