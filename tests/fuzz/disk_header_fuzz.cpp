// A disk file's header and room offsets: any bytes as disk 1 of a game, read up to the end
// of its LOFF table.
#include <memory>

#include "archive/game_archive.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteScratchFile("G.LA1", data, size);
    GameArchive archive(ScratchFolderName(), "G");
    ResourceFile file;
    Require(file.Open(ScratchFolderName() + "G.LA1"), "the disk file opens");
    RoomOffsetTable table;
    const bool read = archive.ReadDiskHeader(table, file);
    RequireOneMessageOnFailure(read, "Reading a disk header");
    if (read) {
        Require(table.roomOffsets.size() == 256, "every room number has an offset");
        Require(table.listed.count() <= table.roomCount, "no room is listed that was not read");
    }
    return 0;
}
