#include "frontends/cli/cli_game.h"

#include <cstdio>
#include <system_error>

#include "app/shell.h"

ChosenFile ChosenFileFromPath(const std::string& indexFile) {
    ChosenFile choice;
    std::error_code failed;
    std::filesystem::path absolute = std::filesystem::absolute(indexFile, failed);
    choice.path = failed ? indexFile : absolute.string();
    const size_t slash = choice.path.find_last_of('/');
    choice.fileOffset = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = choice.path.find_last_of('.');
    if (dot != std::string::npos && dot >= choice.fileOffset) choice.extensionOffset = dot + 1;
    return choice;
}

bool CliGame::Open(const std::string& indexFile) {
    SplitChosenFile(ChosenFileFromPath(indexFile), &directory, &baseName);
    archive = std::make_unique<GameArchive>(directory, baseName);
    return archive->Open();
}

std::optional<uint8_t> CliGame::DiskOf(uint32_t costume) const {
    const uint8_t room = RoomOf(costume);
    if (room >= archive->roomDirectory.count) return std::nullopt;
    return archive->roomDirectory.numbers[room];
}

bool CliGame::IsGameFile(const std::filesystem::path& path) const {
    for (const std::string& gameFile : archive->paths) {
        std::error_code failed;
        if (!gameFile.empty() && std::filesystem::equivalent(path, gameFile, failed)) return true;
    }
    return false;
}

void LoadedCostume::Load(GameArchive& archive, uint32_t number) {
    costume.reset();
    block.clear();
    result = archive.LoadCostume(&block, number);
    if (result != CostumeLoadResult::Loaded) return;
    auto parsed = std::make_unique<Costume>(ByteView{block.data(), block.size()});
    if (!parsed->Parse()) {
        result = CostumeLoadResult::Failed;
        return;
    }
    costume = std::move(parsed);
}

bool RenderFrame(Costume& costume, uint16_t frame, IndexedImage* image) {
    if (!costume.SelectFrame(frame)) return false;
    return costume.Render(image, 0, 0);
}

std::string NotPresentMessage(uint32_t costume) {
    char text[64];
    std::snprintf(text, sizeof text, "Costume %u is not present on this disk.", costume);
    return text;
}
