#include "big_game.h"

#include <map>
#include <memory>

#include "authoring/game_writer.h"
#include "support/temp_dir.h"
#include "walking_figures.h"

bool WriteBigGame(const std::filesystem::path& directory, const std::string& baseName,
                  uint32_t count, std::string* error) {
    GameLayout layout;
    layout.roomDisks = {0, 1};
    const std::vector<uint8_t> block = WalkingFiguresBlock(1, 16, 16, 1);
    layout.costumes.assign(count, GameCostume{1, block});
    if (count > 0) layout.costumes[0] = {};
    return WriteGame(directory, baseName, layout, error);
}

std::string SharedBigGame(uint32_t count) {
    static std::map<uint32_t, std::unique_ptr<TempDir>> games;
    auto& dir = games[count];
    if (!dir) {
        dir = std::make_unique<TempDir>();
        std::string error;
        if (!WriteBigGame(dir->path, "BIG", count, &error)) return {};
    }
    return dir->WithSeparator();
}
