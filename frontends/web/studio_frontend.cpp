// The studio's entry points: the costumes of the open game described, drawn and exported
// through the export library, each call bounded to one costume, so that the page can spread
// a large game over many short tasks. Text goes back as JSON, pixels as buffers; both stay
// valid until the next call of the same kind.
#include <emscripten.h>
#include <sys/stat.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "export/costume_preview.h"
#include "export/export_game.h"
#include "export/export_job.h"
#include "export/export_options.h"

namespace {

using Json = nlohmann::ordered_json;

// The game the studio shows, opened apart from the viewer's so that the two never disturb
// each other, and the costume drawn last, kept for its next frame.
struct Studio {
    std::string indexFile;
    ExportGame game;
    ExportCostume costume;
    bool costumeLoaded = false;
};

// emscripten starts the module with the umask 0777, under which every file the export
// library writes would get no permission at all and could not be read back for the page.
const bool g_usualUmask = [] {
    umask(022);
    return true;
}();

std::unique_ptr<Studio> g_studio;
std::string g_reply;
std::vector<uint8_t> g_frame;  // width and height (32 bits each), then RGBA pixels
std::array<uint8_t, 256 * 3> g_palette{};

const char* Reply(const Json& value) {
    g_reply = value.dump();
    return g_reply.c_str();
}

// A report that keeps every message as the tool prints it, current while it lives.
struct KeptReport {
    ExportReport report;
    std::vector<std::string> lines;
    CurrentReportScope current{report};

    KeptReport() { report.kept = &lines; }
};

struct Named {
    const char* name;
    int value;
};

// The words of the tool's options, so that the page offers what the tool takes.
constexpr Named kLayouts[] = {{"row", static_cast<int>(SheetArrangement::Row)},
                              {"column", static_cast<int>(SheetArrangement::Column)},
                              {"grid", static_cast<int>(SheetArrangement::Grid)}};
constexpr Named kPalettes[] = {{"gpl", static_cast<int>(PaletteFormat::Gpl)},
                               {"pal", static_cast<int>(PaletteFormat::Pal)},
                               {"act", static_cast<int>(PaletteFormat::Act)}};

template <size_t N>
const char* NameOf(const Named (&table)[N], int value) {
    for (const Named& entry : table) {
        if (entry.value == value) return entry.name;
    }
    return table[0].name;
}

template <size_t N>
std::optional<int> ValueOf(const Named (&table)[N], const std::string& name) {
    for (const Named& entry : table) {
        if (name == entry.name) return entry.value;
    }
    return std::nullopt;
}

Json RangeJson(const NumberRange& range) {
    return Json::array({range.lowest, range.highest});
}

// Costume `number` of the open game, loaded unless it is the one loaded last. Null, with
// nothing said, when no game is open or the game has no such costume.
Studio* StudioWith(uint32_t number) {
    Studio* studio = g_studio.get();
    if (studio == nullptr || number == 0 || number >= studio->game.CostumeCount()) return nullptr;
    if (!studio->costumeLoaded || studio->costume.number != number) {
        KeptReport kept;
        studio->costume.Load(studio->game, number, kept.report);
        studio->costumeLoaded = true;
    }
    return studio;
}

Json FramesJson(Costume& costume, uint32_t number) {
    Json frames = Json::array();
    for (uint32_t frame = 1; frame <= costume.FrameCount(); ++frame) {
        KeptReport kept;
        kept.report.subject = FrameSubject(number, frame);
        std::vector<std::string> heard;
        kept.report.heard = &heard;
        kept.report.quiet = true;
        if (costume.SelectFrame(static_cast<uint16_t>(frame))) {
            frames.push_back({{"width", costume.FrameWidth()}, {"height", costume.FrameHeight()}});
        } else {
            frames.push_back({{"error", JoinMessages(heard)}});
        }
    }
    return frames;
}

// An integer member of `object` within `range` into `out`, left alone when it is absent;
// false when it is there but not such a number.
bool ReadNumber(const Json& object, const char* key, const NumberRange& range, uint32_t* out) {
    if (!object.contains(key)) return true;
    const Json& value = object[key];
    if (!value.is_number_integer()) return false;
    const int64_t number = value.get<int64_t>();
    if (number < range.lowest || number > range.highest) return false;
    *out = static_cast<uint32_t>(number);
    return true;
}

// The tool's export options from the page's JSON, each absent member the tool's default.
bool ReadExportOptions(const Json& asked, ExportOptions* options, std::string* error) {
    *error = "The export's options are not valid.";
    if (!asked.is_object()) return false;
    const auto text = [&](const char* key) {
        return asked.contains(key) && asked[key].is_string() ? asked[key].get<std::string>()
                                                             : std::string();
    };
    const auto flag = [&](const char* key) {
        return asked.contains(key) && asked[key].is_boolean() && asked[key].get<bool>();
    };
    if (!options->costumes.Add(text("costumes"), static_cast<uint32_t>(kCostumeRange.lowest),
                               static_cast<uint32_t>(kCostumeRange.highest), error)) {
        return false;
    }
    options->outDirectory = text("out");
    if (options->outDirectory.empty()) return false;
    if (text("format") == "gif") options->format = ImageFormat::Gif;
    options->sheet = flag("sheet");
    if (asked.contains("layout")) {
        const std::optional<int> layout = ValueOf(kLayouts, text("layout"));
        if (!layout) return false;
        options->layout = static_cast<SheetArrangement>(*layout);
    }
    options->hashJson = text("sheetJson") == "hash";
    if (!ReadNumber(asked, "padding", kPaddingRange, &options->padding) ||
        !ReadNumber(asked, "fps", kFpsRange, &options->fps) ||
        !ReadNumber(asked, "scale", kScaleRange, &options->scale)) {
        return false;
    }
    if (asked.contains("transparent") && !asked["transparent"].is_null()) {
        uint32_t index = 0;
        if (!ReadNumber(asked, "transparent", kPaletteIndexRange, &index)) return false;
        options->transparentIndex = static_cast<uint8_t>(index);
    }
    if (asked.contains("palette") && !asked["palette"].is_null()) {
        const std::optional<int> format = ValueOf(kPalettes, text("palette"));
        if (!format) return false;
        options->palettes = {static_cast<PaletteFormat>(*format)};
        options->paletteOnly = flag("paletteOnly");
    }
    return true;
}

}  // namespace

extern "C" {

// The tool's export defaults and bounds, from export_options.h, and the words it takes.
EMSCRIPTEN_KEEPALIVE const char* StudioDefaults() {
    const ExportOptions defaults;
    Json layouts = Json::array(), palettes = Json::array();
    for (const Named& entry : kLayouts) layouts.push_back(entry.name);
    for (const Named& entry : kPalettes) palettes.push_back(entry.name);
    return Reply({
        {"layout", NameOf(kLayouts, static_cast<int>(defaults.layout))},
        {"sheetJson", defaults.hashJson ? "hash" : "array"},
        {"padding", defaults.padding},
        {"fps", defaults.fps},
        {"scale", defaults.scale},
        {"transparent", defaults.transparentIndex ? Json(*defaults.transparentIndex) : Json()},
        {"layouts", layouts},
        {"sheetJsons", Json::array({"array", "hash"})},
        {"palettes", palettes},
        {"paddingRange", RangeJson(kPaddingRange)},
        {"fpsRange", RangeJson(kFpsRange)},
        {"scaleRange", RangeJson(kScaleRange)},
        {"transparentRange", RangeJson(kPaletteIndexRange)},
    });
}

// Opens the game whose index file is `indexFile` for the studio, closing the one before:
// {"ok", "messages", "costumeCount", "listedCount"}.
EMSCRIPTEN_KEEPALIVE const char* StudioOpen(const char* indexFile) {
    g_studio.reset();
    auto studio = std::make_unique<Studio>();
    studio->indexFile = indexFile;
    KeptReport kept;
    if (!studio->game.Open(studio->indexFile, kept.report)) {
        return Reply({{"ok", false}, {"messages", kept.lines}});
    }
    const uint32_t count = studio->game.CostumeCount();
    g_studio = std::move(studio);
    return Reply({{"ok", true},
                  {"messages", kept.lines},
                  {"costumeCount", count},
                  {"listedCount", ListedCount(count)}});
}

EMSCRIPTEN_KEEPALIVE void StudioClose() {
    g_studio.reset();
}

// Costume `number` as `info --json` describes it, its message as "message" when it is not
// loaded; null when there is no such costume.
EMSCRIPTEN_KEEPALIVE const char* StudioCostume(uint32_t number) {
    Studio* studio = StudioWith(number);
    if (studio == nullptr) return Reply(nullptr);
    ExportGame& game = studio->game;
    ExportCostume& costume = studio->costume;
    Json entry = {{"number", number}, {"room", game.RoomOf(number)}, {"disk", nullptr}};
    if (auto disk = game.DiskOf(number)) entry["disk"] = *disk;
    entry["status"] = LoadResultName(costume.result);
    if (costume.result != CostumeLoadResult::Loaded) entry["message"] = costume.whyNot;
    if (costume.loaded.Loaded()) {
        Costume& loaded = *costume.loaded.costume;
        entry["codec"] = loaded.Codec();
        entry["colourCount"] = loaded.colourCount;
        entry["frameCount"] = loaded.FrameCount();
        entry["frames"] = FramesJson(loaded, number);
    }
    return Reply(entry);
}

// Frame `frame` of costume `number` in its palette's colours, index `transparent` (when it
// is 0 to 255) with alpha 0: width and height as 32-bit numbers, then RGBA rows. Null when
// the frame cannot be drawn.
EMSCRIPTEN_KEEPALIVE const uint8_t* StudioRenderFrame(uint32_t number, uint32_t frame,
                                                      int32_t transparent) {
    Studio* studio = StudioWith(number);
    if (studio == nullptr || !studio->costume.loaded.Loaded() || frame == 0 || frame > 65535) {
        return nullptr;
    }
    KeptReport kept;
    kept.report.quiet = true;
    const std::optional<uint8_t> shownThrough =
        transparent >= 0 && transparent <= 255
            ? std::optional<uint8_t>(static_cast<uint8_t>(transparent))
            : std::nullopt;
    RgbaFrame rgba;
    if (!PreviewFrame(*studio->costume.loaded.costume, static_cast<uint16_t>(frame), shownThrough,
                      &rgba)) {
        return nullptr;
    }
    g_frame.resize(8 + rgba.rgba.size());
    const uint32_t size[2] = {rgba.width, rgba.height};
    std::memcpy(g_frame.data(), size, sizeof size);
    std::memcpy(g_frame.data() + 8, rgba.rgba.data(), rgba.rgba.size());
    return g_frame.data();
}

// The 256 entries (red, green, blue) costume `number` is drawn and exported with; null when
// it is not loaded.
EMSCRIPTEN_KEEPALIVE const uint8_t* StudioPalette(uint32_t number) {
    Studio* studio = StudioWith(number);
    if (studio == nullptr || !studio->costume.loaded.Loaded()) return nullptr;
    g_palette = PreviewPalette(*studio->costume.loaded.costume);
    return g_palette.data();
}

// Runs the tool's export of the open game with `optionsJson`'s options (the tool's words:
// "costumes", "out", "format", "sheet", "layout", "sheetJson", "padding", "fps", "scale",
// "transparent", "palette", "paletteOnly") into the folder "out": {"ok", "messages"}.
EMSCRIPTEN_KEEPALIVE const char* StudioExport(const char* optionsJson) {
    if (g_studio == nullptr) {
        return Reply({{"ok", false}, {"messages", Json::array({"Error: No game is open."})}});
    }
    const Json asked = Json::parse(optionsJson, nullptr, false);
    ExportOptions options;
    std::string error;
    if (asked.is_discarded() || !ReadExportOptions(asked, &options, &error)) {
        return Reply({{"ok", false}, {"messages", Json::array({"Error: " + error})}});
    }
    options.indexFile = g_studio->indexFile;
    std::vector<std::string> lines;
    ExportReport report;
    report.kept = &lines;
    const bool done = ExportCostumes(options, report);
    return Reply({{"ok", done}, {"messages", lines}});
}

}  // extern "C"
