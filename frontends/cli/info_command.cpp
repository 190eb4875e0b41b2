// info: what the game holds, as text for people or as one JSON object for scripts. Both are
// printed from the same JSON record, so that they never disagree.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "frontends/cli/cli_commands.h"
#include "frontends/cli/cli_game.h"
#include "frontends/cli/cli_output.h"

namespace {

using Json = nlohmann::ordered_json;

std::string JoinMessages(const std::vector<std::string>& messages) {
    std::string joined;
    for (const std::string& message : messages) joined += (joined.empty() ? "" : " ") + message;
    return joined;
}

Json DescribeFrames(Costume& costume) {
    Json frames = Json::array();
    for (uint32_t frame = 1; frame <= costume.FrameCount(); ++frame) {
        if (costume.SelectFrame(static_cast<uint16_t>(frame))) {
            frames.push_back({{"width", costume.FrameWidth()}, {"height", costume.FrameHeight()}});
        } else {
            frames.push_back({{"error", JoinMessages(EmitErrors())}});
        }
    }
    return frames;
}

Json DescribeCostume(CliGame& game, uint32_t number) {
    Json entry = {{"number", number}, {"room", game.RoomOf(number)}, {"disk", nullptr}};
    if (auto disk = game.DiskOf(number)) entry["disk"] = *disk;
    LoadedCostume loaded;
    switch (loaded.Load(*game.archive, number)) {
        case CostumeLoadResult::NotPresent:
            entry["status"] = "not-present";
            return entry;
        case CostumeLoadResult::Failed:
            entry["status"] = "failed";
            entry["error"] = JoinMessages(EmitErrors());
            return entry;
        case CostumeLoadResult::Loaded:
            break;
    }
    Costume& costume = *loaded.costume;
    entry["status"] = "loaded";
    entry["codec"] = costume.Codec();
    entry["colourCount"] = costume.colourCount;
    entry["frameCount"] = costume.FrameCount();
    entry["frames"] = DescribeFrames(costume);
    return entry;
}

Json DescribeGame(CliGame& game) {
    Json files = Json::array();
    for (int slot = 0; slot < GameArchive::kSlotCount; ++slot) {
        if (game.archive->files[slot]) {
            files.push_back({{"slot", slot}, {"path", game.archive->paths[slot]}});
        }
    }
    Json costumes = Json::array();
    for (uint32_t number = 1; number < game.CostumeCount(); ++number) {
        costumes.push_back(DescribeCostume(game, number));
    }
    return {{"directory", game.directory},
            {"baseName", game.baseName},
            {"files", files},
            {"roomCount", game.archive->roomDirectory.count},
            {"costumeCount", game.CostumeCount()},
            {"costumes", costumes}};
}

std::string FrameSizes(const Json& frames) {
    std::string sizes;
    for (const Json& frame : frames) {
        sizes += sizes.empty() ? "" : " ";
        if (frame.contains("error")) {
            sizes += "[" + frame["error"].get<std::string>() + "]";
        } else {
            sizes += std::to_string(frame["width"].get<int>()) + "x" +
                     std::to_string(frame["height"].get<int>());
        }
    }
    return sizes;
}

void PrintCostumeLine(const Json& costume) {
    std::string line = "Costume " + costume["number"].dump() + ": room " + costume["room"].dump() +
                       ", disk " + (costume["disk"].is_null() ? "none" : costume["disk"].dump()) +
                       ", " + costume["status"].get<std::string>();
    if (costume.contains("error")) line += ": " + costume["error"].get<std::string>();
    if (costume.contains("codec")) {
        const auto frameCount = costume["frameCount"].get<int>();
        line += ", codec " + costume["codec"].dump() + ", " + costume["colourCount"].dump() +
                " colours, " + std::to_string(frameCount) +
                (frameCount == 1 ? " frame" : " frames");
        if (frameCount > 0) line += ": " + FrameSizes(costume["frames"]);
    }
    std::printf("%s\n", line.c_str());
}

void PrintText(const Json& game) {
    std::printf("Directory: %s\n", game["directory"].get<std::string>().c_str());
    std::printf("Base name: %s\n", game["baseName"].get<std::string>().c_str());
    std::printf("Files:\n");
    for (const Json& file : game["files"]) {
        std::printf("  %d  %s\n", file["slot"].get<int>(), file["path"].get<std::string>().c_str());
    }
    std::printf("Rooms: %s\n", game["roomCount"].dump().c_str());
    std::printf("Costumes: %s\n", game["costumeCount"].dump().c_str());
    for (const Json& costume : game["costumes"]) PrintCostumeLine(costume);
}

}  // namespace

int RunInfo(const InfoOptions& options) {
    CliGame game;
    if (!game.Open(options.indexFile)) return 1;
    const Json description = DescribeGame(game);
    if (options.json) {
        // Paths come from the file system and need not be UTF-8: such bytes are replaced.
        const std::string text = description.dump(2, ' ', false, Json::error_handler_t::replace);
        std::printf("%s\n", text.c_str());
    } else {
        PrintText(description);
    }
    EmitErrors();
    return AnyErrorEmitted() ? 1 : 0;
}
