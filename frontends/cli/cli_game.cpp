#include "frontends/cli/cli_game.h"

#include <system_error>

#include "app/chosen_file.h"
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

