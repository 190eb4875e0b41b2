#include "frontends/cli/cli_game.h"

#include <cstdio>
#include <system_error>

#include "app/shell.h"
#include "frontends/cli/cli_output.h"
#include "frontends/headless/headless_frontend.h"

std::string AbsolutePath(const std::string& path) {
    std::error_code failed;
    std::filesystem::path absolute = std::filesystem::absolute(path, failed);
    return failed ? path : absolute.string();
}

bool CliGame::Open(const std::string& indexFile) {
    SetSubject(indexFile);
    SplitChosenFile(HeadlessChosenFile(AbsolutePath(indexFile)), &directory, &baseName);
    archive = std::make_unique<GameArchive>(directory, baseName);
    if (archive->Open()) return true;
    EmitErrors();
    return false;
}

std::optional<uint8_t> CliGame::DiskOf(uint32_t costume) const {
    const uint8_t room = RoomOf(costume);
    if (room >= archive->roomDirectory.count) return std::nullopt;
    return archive->roomDirectory.numbers[room];
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
