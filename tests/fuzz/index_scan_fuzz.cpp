// The index file scan: any bytes as a game's index file, read for its room and costume
// directories.
#include <memory>

#include "archive/game_archive.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteScratchFile("G.LA0", data, size);
    GameArchive archive(ScratchFolderName(), "G");
    archive.files[0] = std::make_unique<ResourceFile>();
    Require(archive.files[0]->Open(ScratchFolderName() + "G.LA0"), "the index file opens");
    const bool scanned = archive.ScanIndex();
    RequireOneMessageOnFailure(scanned, "The index scan");
    for (const ResourceDirectory* directory : {&archive.roomDirectory, &archive.costumeDirectory}) {
        Require(directory->numbers.size() == directory->count &&
                    directory->offsets.size() == directory->count,
                "a directory holds as many entries as it counts");
    }
    return 0;
}
