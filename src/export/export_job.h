// The export library's jobs, one call each: each opens the game named in its options,
// writes or describes what they ask, and says every message through `report`, which it makes
// current for the core's own failures while it runs. Each returns false when anything asked
// for failed or was refused (report.failed), true when all was done.
#pragma once

#include "export/export_options.h"
#include "export/export_report.h"
#include "export/json_stream.h"

// export: the costumes and frames asked for, as PNG frames, sheets with their JSON, GIFs and
// palettes, into options.outDirectory.
bool ExportCostumes(const ExportOptions& options, ExportReport& report);

// gallery: every costume's GIF, sheet, sheet JSON and palettes, and the index.html that
// shows them, into options.outDirectory.
bool WriteGallery(const GalleryOptions& options, ExportReport& report);

// info: what the game holds, as text for people or one JSON document, costume by costume
// and frame by frame into `out`, so that memory does not grow with the game.
bool DescribeGame(const InfoOptions& options, const TextSink& out, ExportReport& report);
