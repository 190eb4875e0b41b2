#include "export/export_game.h"

#include <algorithm>
#include <cstdio>

#include "common/file_system.h"
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

// Why the index file named cannot be opened, or "" when it can: said with the archive's
// message, which only knows that no game file was found.
std::string WhyNotIndexFile(const std::string& path) {
    uint64_t size = 0;
    std::string reason;
    std::FILE* file = OpenForReading(path, &size, &reason);
    if (file != nullptr) std::fclose(file);
    return reason == kAFolder ? "a folder, not an index file" : reason;
}

}  // namespace

bool ExportGame::Open(const std::string& indexFile, ExportReport& report) {
    const std::string whyNot = WhyNotIndexFile(indexFile);
    report.subject = whyNot.empty() ? indexFile : indexFile + ": " + whyNot;
    SplitIndexFile(AbsolutePath(indexFile), &directory, &baseName);
    std::string namedBaseName;
    SplitIndexFile(indexFile, &report.gameDirectoryNamed, &namedBaseName);
    report.gameDirectory = directory;
    archive = std::make_unique<GameArchive>(directory, baseName);
    report.openingGame = true;
    const bool opened = archive->Open();
    report.openingGame = false;
    return opened;
}

std::vector<MissingDisk> ExportGame::MissingDisks() const {
    std::vector<MissingDisk> missing;
    bool needed[GameArchive::kSlotCount] = {};
    const ResourceDirectory& rooms = archive->roomDirectory;
    for (uint32_t room = 0; room < rooms.count; ++room) {
        const uint8_t disk = rooms.numbers[room];
        if (disk > 0 && disk < GameArchive::kSlotCount && !archive->files[disk]) {
            needed[disk] = true;
        }
    }
    for (int slot = 1; slot < GameArchive::kSlotCount; ++slot) {
        if (!needed[slot]) continue;
        MissingDisk disk{slot, baseName + ".LA" + std::to_string(slot), {}};
        for (uint32_t costume = 1; costume < CostumeCount(); ++costume) {
            if (DiskOf(costume) == slot) disk.costumes.push_back(costume);
        }
        missing.push_back(std::move(disk));
    }
    return missing;
}

bool ExportGame::OnMissingDisk(uint32_t costume) const {
    const std::optional<uint8_t> disk = DiskOf(costume);
    return disk && *disk > 0 && *disk < GameArchive::kSlotCount && !archive->files[*disk];
}

std::string MissingDisk::Note() const {
    if (costumes.empty()) return file + " is missing; none of the costumes is on it.";
    return file + " is missing, so " + (costumes.size() == 1 ? "costume " : "costumes ") +
           NumberList(costumes) + (costumes.size() == 1 ? " is" : " are") + " not present.";
}

void NoteMissingDisks(const ExportGame& game, ExportReport& report,
                      const std::function<bool(uint32_t)>& asked) {
    for (const MissingDisk& disk : game.MissingDisks()) {
        const bool wanted =
            std::any_of(disk.costumes.begin(), disk.costumes.end(), asked) ||
            (disk.costumes.empty() && asked(0));
        if (!wanted) continue;
        report.subject.clear();
        report.Note(disk.Note());
    }
}

std::string NumberList(const std::vector<uint32_t>& numbers) {
    std::string list;
    for (size_t i = 0; i < numbers.size();) {
        size_t last = i;
        while (last + 1 < numbers.size() && numbers[last + 1] == numbers[last] + 1) ++last;
        if (!list.empty()) list += ", ";
        list += std::to_string(numbers[i]);
        if (last > i) list += "-" + std::to_string(numbers[last]);
        i = last + 1;
    }
    return list;
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
