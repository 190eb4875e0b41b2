// thumbnail: the picture a file manager shows for a game's index file. The first frame of the
// first costume that loads, drawn by whole steps and never smoothed, centred on a transparent
// N x N square, as an RGBA PNG. Palette index 0, which the codecs leave wherever a frame
// draws nothing, is transparent; every other index is opaque.
#pragma once

#include <cstdint>

#include "export/export_options.h"
#include "export/export_report.h"

// How a frame is drawn into the square: each pixel `scale` times each way (at most
// kThumbnailMostScale), or, for a frame larger than the square, every `divisor`-th pixel
// of every `divisor`-th row, the smallest divisor that fits. `width` x `height` is drawn.
struct ThumbnailFit {
    uint32_t scale = 1;
    uint32_t divisor = 1;
    uint32_t width = 0;
    uint32_t height = 0;
};

ThumbnailFit FitThumbnail(uint32_t frameWidth, uint32_t frameHeight, uint32_t size);

// A file manager asks for one thumbnail per file in a folder: a game whose first costumes
// all fail is given up after this many, however long its directory.
constexpr uint32_t kThumbnailCostumesTried = 256;

// Writes options.outFile and nothing else. False, with one message and no file, when none
// of the costumes tried has a first frame with pixels, or the file cannot be written.
bool WriteThumbnail(const ThumbnailOptions& options, ExportReport& report);
