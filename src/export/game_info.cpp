// info: what the game holds, as text for people or as JSON for scripts. Both are written
// costume by costume and frame by frame from the same fields, so that they never disagree
// and memory does not grow with the number of costumes or frames.
#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>

#include "costume/decode_budget.h"
#include "export/export_game.h"
#include "export/export_job.h"
#include "export/json_stream.h"
#include "export/pixel_hash.h"

namespace {

using Json = nlohmann::ordered_json;

struct InfoWriter {
    bool json = false;
    JsonStream stream;
    bool firstFrame = true;

    void Begin(ExportGame& game) {
        const uint32_t count = game.CostumeCount();
        if (json) {
            stream.BeginObject();
            stream.Member("directory", game.directory);
            stream.Member("baseName", game.baseName);
            stream.Key("files");
            stream.BeginArray();
            ForEachFile(game, [&](int slot, const std::string& path) {
                stream.Value({{"slot", slot}, {"path", path}});
            });
            stream.EndArray();
            stream.Key("missingDisks");
            stream.BeginArray();
            for (const MissingDisk& disk : game.MissingDisks()) {
                stream.Value(
                    {{"slot", disk.slot}, {"file", disk.file}, {"costumes", disk.costumes}});
            }
            stream.EndArray();
            stream.Member("roomCount", game.archive->roomDirectory.count);
            stream.Member("costumeCount", count);
            stream.Member("listedCostumeCount", ListedCount(count));
            stream.Key("costumes");
            stream.BeginArray();
            return;
        }
        const std::string listed = std::to_string(ListedCount(count));
        Line("Directory: " + game.directory);
        Line("Base name: " + game.baseName);
        Line("Files:");
        ForEachFile(game, [&](int slot, const std::string& path) {
            Line("  " + std::to_string(slot) + "  " + path);
        });
        Line("Rooms: " + std::to_string(game.archive->roomDirectory.count));
        Line("Costumes: " + std::to_string(count) +
             " in the directory; costume 0 is not browsed, so " + listed +
             (ListedCount(count) == 1 ? " is" : " are") + " listed");
        stream.out.Flush();
    }

    void Line(const std::string& text) {
        stream.out.Put(text);
        stream.out.Put('\n');
    }

    template <typename Visit>
    static void ForEachFile(ExportGame& game, Visit visit) {
        for (int slot = 0; slot < GameArchive::kSlotCount; ++slot) {
            if (game.archive->files[slot]) visit(slot, game.archive->paths[slot]);
        }
    }

    // The costume's fields before its frames; `entry` is small whatever the costume holds.
    void BeginCostume(const Json& entry) {
        firstFrame = true;
        if (json) {
            stream.BeginObject();
            for (const auto& [key, value] : entry.items()) stream.Member(key, value);
            return;
        }
        std::string line = "Costume " + entry["number"].dump() + ": room " +
                           entry["room"].dump() + ", disk " +
                           (entry["disk"].is_null() ? "none" : entry["disk"].dump()) + ", " +
                           entry["status"].get<std::string>();
        if (entry.contains("error")) line += ": " + entry["error"].get<std::string>();
        if (entry.contains("codec")) {
            const auto frameCount = entry["frameCount"].get<uint32_t>();
            line += ", codec " + entry["codec"].dump() + ", " + entry["colourCount"].dump() +
                    " colours, " + std::to_string(frameCount) +
                    (frameCount == 1 ? " frame" : " frames") + (frameCount > 0 ? ":" : "");
        }
        stream.out.Put(line);
    }

    void BeginFrames() {
        if (json) {
            stream.Key("frames");
            stream.BeginArray();
        }
    }

    // Called for every frame of every costume: printed directly, without building a value.
    void Frame(uint16_t width, uint16_t height, const std::string& sha256 = "") {
        if (json) {
            stream.RawValue("{\"width\":");
            stream.out.PutNumber(width);
            stream.out.Put(",\"height\":");
            stream.out.PutNumber(height);
            if (!sha256.empty()) stream.out.Put(",\"sha256\":\"" + sha256 + '"');
            stream.out.Put('}');
        } else {
            stream.out.Put(' ');
            stream.out.PutNumber(width);
            stream.out.Put('x');
            stream.out.PutNumber(height);
        }
    }

    void FrameError(const std::string& message) {
        if (json) {
            stream.Value({{"error", message}});
        } else {
            stream.out.Put(" [" + message + "]");
        }
    }

    void EndFrames() {
        if (json) stream.EndArray();
    }

    // Each costume's line is passed on whole, so that its messages on standard error come
    // after it.
    void EndCostume() {
        if (json) {
            stream.EndObject();
        } else {
            stream.out.Put('\n');
        }
        stream.out.Flush();
    }

    void End() {
        if (!json) return;
        stream.EndArray();
        stream.EndObject();
    }
};

// What hashing may decode, as export bounds it: each costume within its own budget, and the
// whole listing within the run's. Past either, frames are listed without their digests.
struct HashBudget {
    bool asked = false;
    uint64_t runPixels = 0;
    uint64_t costumePixels = 0;
    bool runSpent = false;
    bool costumeSpent = false;

    void BeginCostume() {
        costumePixels = 0;
        costumeSpent = false;
    }

    // False, with a refusal said once, when the frame may not be decoded.
    bool Charge(uint32_t number, uint64_t area, ExportReport& report) {
        if (!asked || runSpent || costumeSpent) return false;
        const uint64_t charge = std::max(area, kFrameDecodeCharge);
        costumePixels += charge;
        runPixels += charge;
        if (runPixels > kRunDecodePixelBudget) {
            runSpent = true;
            report.Refusal("Costume " + std::to_string(number) +
                           " and the costumes after it are listed without their hashes: this "
                           "command has reached its limit of " +
                           std::to_string(kRunDecodePixelBudget) +
                           " pixels of frames, more than any real game has.");
            return false;
        }
        if (costumePixels > kCostumeDecodePixelBudget) {
            costumeSpent = true;
            report.Refusal("Costume " + std::to_string(number) + " has more than " +
                           std::to_string(kCostumeDecodePixelBudget) +
                           " pixels of frames to decode, more than any real costume: the rest "
                           "of its frames are listed without their hashes.");
            return false;
        }
        return true;
    }
};

// The selected frame's digest, or "" when it is not to be decoded or cannot be.
std::string FrameHash(Costume& costume, uint32_t number, HashBudget& budget,
                      ExportReport& report) {
    const uint64_t area = uint64_t{costume.FrameWidth()} * costume.FrameHeight();
    if (!budget.Charge(number, area, report)) return "";
    IndexedImage image;
    if (!costume.Render(&image, 0, 0)) return "";
    return FrameSha256(image);
}

void DescribeFrames(InfoWriter& writer, Costume& costume, uint32_t number, HashBudget& budget,
                    ExportReport& report) {
    writer.BeginFrames();
    budget.BeginCostume();
    for (uint32_t frame = 1; frame <= costume.FrameCount(); ++frame) {
        report.subject = FrameSubject(number, frame);
        std::vector<std::string> heard;
        report.heard = &heard;
        const bool selected = costume.SelectFrame(static_cast<uint16_t>(frame));
        report.heard = nullptr;
        if (selected) {
            writer.Frame(costume.FrameWidth(), costume.FrameHeight(),
                         FrameHash(costume, number, budget, report));
        } else {
            writer.FrameError(JoinMessages(heard));
        }
    }
    writer.EndFrames();
}

void DescribeCostume(InfoWriter& writer, ExportGame& game, uint32_t number, HashBudget& budget,
                     ExportReport& report) {
    Json entry = {{"number", number}, {"room", game.RoomOf(number)}, {"disk", nullptr}};
    if (auto disk = game.DiskOf(number)) entry["disk"] = *disk;
    ExportCostume costume;
    costume.Load(game, number, report);
    entry["status"] = LoadResultName(costume.result);
    if (costume.result == CostumeLoadResult::Failed) entry["error"] = costume.whyNot;
    if (costume.result == CostumeLoadResult::Loaded) {
        const Costume& loaded = *costume.loaded.costume;
        entry["codec"] = loaded.Codec();
        entry["colourCount"] = loaded.colourCount;
        entry["frameCount"] = loaded.FrameCount();
        if (budget.asked) entry["paletteSha256"] = PaletteSha256(loaded);
    }
    writer.BeginCostume(entry);
    if (costume.loaded.Loaded()) {
        DescribeFrames(writer, *costume.loaded.costume, number, budget, report);
    }
    writer.EndCostume();
}

}  // namespace

bool DescribeGame(const InfoOptions& options, const TextSink& out, ExportReport& report) {
    const CurrentReportScope current(report);
    ExportGame game;
    if (!game.Open(options.indexFile, report)) return false;
    NoteMissingDisks(game, report, [](uint32_t) { return true; });
    InfoWriter writer{options.json, JsonStream(out)};
    writer.Begin(game);
    HashBudget budget;
    budget.asked = options.json && options.hashes;
    for (uint32_t number = 1; number < game.CostumeCount(); ++number) {
        DescribeCostume(writer, game, number, budget, report);
    }
    writer.End();
    return !report.failed;
}
