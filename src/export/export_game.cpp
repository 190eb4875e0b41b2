#include "export/export_game.h"

#include "export/output_file_system.h"

namespace {

// The index file's path split as an open dialog reports a choice: the name begins after
// the last slash or backslash, the extension after the name's last dot.
void SplitIndexFile(const std::string& path, std::string* directory, std::string* baseName) {
    const size_t separator = path.find_last_of("/\\");
    const size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    *directory = path.substr(0, nameStart);
    const std::string name = path.substr(nameStart);
    const size_t dot = name.find_last_of('.');
    *baseName = dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

bool ExportGame::Open(const std::string& indexFile, ExportReport& report) {
    report.subject = indexFile;
    SplitIndexFile(AbsolutePath(indexFile), &directory, &baseName);
    archive = std::make_unique<GameArchive>(directory, baseName);
    return archive->Open();
}

std::optional<uint8_t> ExportGame::DiskOf(uint32_t costume) const {
    const uint8_t room = RoomOf(costume);
    if (room >= archive->roomDirectory.count) return std::nullopt;
    return archive->roomDirectory.numbers[room];
}

void ExportCostume::Load(ExportGame& game, uint32_t costume, ExportReport& report) {
    number = costume;
    report.subject = CostumeSubject(costume);
    std::vector<std::string> heard;
    std::vector<std::string>* before = report.heard;
    report.heard = &heard;
    StatusText notPresent;
    {
        const std::lock_guard<std::mutex> oneAtATime(game.reading);
        result = loaded.LoadOrSayWhyNot(*game.archive, costume, &notPresent);
    }
    report.heard = before;
    if (before != nullptr) before->insert(before->end(), heard.begin(), heard.end());
    whyNot = result == CostumeLoadResult::NotPresent ? notPresent.text : JoinMessages(heard);
}

std::string JoinMessages(const std::vector<std::string>& messages) {
    std::string joined;
    for (const std::string& message : messages) joined += (joined.empty() ? "" : " ") + message;
    return joined;
}
