#include "export/sheet_json.h"

#include "export/json_stream.h"
#include "export/output_names.h"

namespace {

using Json = nlohmann::ordered_json;

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

void WriteSheetJson(std::FILE* file, const SheetLayout& layout, const SheetJson& json) {
    JsonStream stream(FileSink(file));
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
