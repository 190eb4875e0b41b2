// The JSON beside a sprite sheet that engines and sprite tools read: every frame's place on
// the sheet, as an array or as an object keyed by the frames' names, and the sheet's meta.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "export/sheet_layout.h"

struct SheetJson {
    uint32_t costume = 0;
    std::string imageName;
    bool hash = false;  // frames as an object keyed by file name instead of an array
    uint32_t scale = 1;
    uint32_t duration = 100;  // milliseconds per frame
};

// Writes the layout as JSON into the open file, one frame entry at a time.
void WriteSheetJson(std::FILE* file, const SheetLayout& layout, const SheetJson& json);
