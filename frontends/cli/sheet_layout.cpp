#include "frontends/cli/sheet_layout.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "frontends/cli/json_stream.h"

namespace {

using Json = nlohmann::ordered_json;

size_t ColumnCount(SheetArrangement arrangement, size_t frameCount) {
    switch (arrangement) {
        case SheetArrangement::Row:
            return frameCount;
        case SheetArrangement::Column:
            return 1;
        case SheetArrangement::Grid:
            break;
    }
    size_t columns = 1;
    while (columns * columns < frameCount) ++columns;
    return columns;
}

// One frame's entry; the array layout names the frame inside it, the hash layout outside.
Json FrameEntry(const SheetLayout::Cell& cell, uint32_t duration, const std::string& name) {
    const Json size = {{"w", cell.width}, {"h", cell.height}};
    Json entry = Json::object();
    if (!name.empty()) entry["filename"] = name;
    entry["frame"] = {{"x", cell.x}, {"y", cell.y}, {"w", cell.width}, {"h", cell.height}};
    entry["rotated"] = false;
    entry["trimmed"] = false;
    entry["spriteSourceSize"] = {{"x", 0}, {"y", 0}, {"w", cell.width}, {"h", cell.height}};
    entry["sourceSize"] = size;
    entry["duration"] = duration;
    return entry;
}

}  // namespace

std::string CostumeName(uint32_t costume) {
    char name[32];
    std::snprintf(name, sizeof name, "costume-%04u", costume);
    return name;
}

std::string FrameName(uint32_t costume, uint32_t frame) {
    char name[48];
    std::snprintf(name, sizeof name, "costume-%04u-frame-%03u", costume, frame);
    return name;
}

void SheetLayout::Place(SheetArrangement arrangement, const std::vector<FrameSize>& frames,
                        uint32_t scale, uint32_t padding) {
    const size_t columns = ColumnCount(arrangement, frames.size());
    std::vector<uint64_t> columnWidths(columns, 0);
    for (size_t i = 0; i < frames.size(); ++i) {
        columnWidths[i % columns] =
            std::max<uint64_t>(columnWidths[i % columns], uint64_t{frames[i].width} * scale);
    }
    cells.clear();
    bands.clear();
    width = padding;
    for (uint64_t columnWidth : columnWidths) width += columnWidth + padding;
    height = padding;
    for (size_t first = 0; first < frames.size(); first += columns) {
        Band band{height, 0, first, std::min(columns, frames.size() - first)};
        uint64_t x = padding;
        for (size_t i = first; i < first + band.cellCount; ++i) {
            const Cell cell{frames[i].frame, x, band.y, uint64_t{frames[i].width} * scale,
                            uint64_t{frames[i].height} * scale};
            band.height = std::max(band.height, cell.height);
            cells.push_back(cell);
            x += columnWidths[i - first] + padding;
        }
        bands.push_back(band);
        height += band.height + padding;
    }
}

void WriteSheetJson(std::FILE* file, const SheetLayout& layout, const SheetJson& json) {
    JsonStream stream(file);
    stream.BeginObject();
    stream.Key("frames");
    json.hash ? stream.BeginObject() : stream.BeginArray();
    for (const SheetLayout::Cell& cell : layout.cells) {
        const std::string name = FrameName(json.costume, cell.frame);
        if (json.hash) {
            stream.Member(name, FrameEntry(cell, json.duration, ""));
        } else {
            stream.Value(FrameEntry(cell, json.duration, name));
        }
    }
    json.hash ? stream.EndObject() : stream.EndArray();
    stream.Key("meta");
    stream.BeginObject();
    stream.Member("app", "DuzuRoro");
    stream.Member("version", DUZURORO_VERSION);
    stream.Member("image", json.imageName);
    stream.Member("format", "I8");
    stream.Member("size", {{"w", layout.width}, {"h", layout.height}});
    stream.Member("scale", std::to_string(json.scale));
    stream.Key("frameTags");
    stream.BeginArray();
    stream.Value({{"name", CostumeName(json.costume)},
                  {"from", 0},
                  {"to", layout.cells.size() - 1},
                  {"direction", "forward"}});
    stream.EndArray();
    stream.EndObject();
    stream.EndObject();
}
