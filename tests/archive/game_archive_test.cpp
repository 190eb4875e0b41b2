#include "archive/game_archive.h"

#include <filesystem>

#include "archive_fixture.h"
#include "authoring/block_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Verm(uint8_t fill, size_t length) {
    return MakeBlock("VERM", Bytes(length, fill));
}

struct Lookup {
    uint32_t costume;
    CostumeLoadResult result;
    Messages errors;
    Bytes block;  // what Loaded hands out
};

// Asks for each costume in turn: every lookup starts from an absolute seek, so the order
// in which they come must not matter.
void ExpectLookups(GameArchive& archive, const std::vector<Lookup>& lookups) {
    for (const Lookup& lookup : lookups) {
        SCOPED_TRACE("costume " + std::to_string(lookup.costume));
        Bytes block{1, 2, 3};  // stale contents must not survive a failed lookup
        EXPECT_EQ(archive.LoadCostume(&block, lookup.costume), lookup.result);
        EXPECT_EQ(g_headless.TakeErrors(), lookup.errors);
        EXPECT_EQ(block, lookup.block);
    }
}

// Descriptors this process holds open, or -1 where the system does not list them.
int OpenDescriptors() {
    std::error_code error;
    std::filesystem::directory_iterator it("/proc/self/fd", error);
    if (error) return -1;
    return static_cast<int>(std::distance(it, std::filesystem::directory_iterator{}));
}

// That exactly `extra` more descriptors are open than at `baseline`, where they can be counted.
void ExpectDescriptors(int baseline, int extra) {
    if (baseline < 0) return;
    EXPECT_EQ(OpenDescriptors(), baseline + extra);
}

TEST_F(ArchiveTest, FindsEveryCostumeAtItsRoomOffsetPlusItsOwnOffset) {
    GameLayout layout;
    // Rooms 0 to 5: no disk, disk 1, disk 2 (not written), disk 3, disk 12, disk 1.
    layout.roomDisks = {0, 1, 2, 3, 12, 1};
    layout.absentDisks = {2};
    layout.costumes = {{1, {}},
                       {1, Verm(0xA1, 30)},
                       {3, Verm(0xB2, 5)},
                       {5, Verm(0xC3, 0)},
                       {2, Verm(0xD4, 9)},
                       {0, Verm(0xE5, 9)},
                       {4, Verm(0xF6, 9)},
                       {200, Verm(0x17, 9)}};
    GameFolder folder;
    folder.WriteLayout(layout);
    GameArchive archive(folder.directory, folder.baseName);
    ASSERT_TRUE(archive.Open());
    EXPECT_TRUE(Errors().empty());
    for (int slot : {0, 1, 3})
        EXPECT_EQ(archive.paths[slot], folder.Path(GameFileName("GAME", slot)));
    EXPECT_FALSE(archive.files[2]);
    using R = CostumeLoadResult;
    ExpectLookups(archive, {
                               {3, R::Loaded, {}, layout.costumes[3].block},
                               {1, R::Loaded, {}, layout.costumes[1].block},
                               {2, R::Loaded, {}, layout.costumes[2].block},
                               {1, R::Loaded, {}, layout.costumes[1].block},
                               {4, R::NotPresent, {}, {}},  // its disk file is missing
                               {5, R::NotPresent, {}, {}},  // its room is on no disk
                               {6, R::Failed, {"Invalid disk."}, {}},
                               {7, R::Failed, {"Invalid room."}, {}},
                               {0, R::Failed, {"VERM not found."}, {}},  // lands on its room
                               {8, R::Failed, {"Costume out of range."}, {}},
                           });
}

// Costume 1 is the last thing on disk 1, so its block may reach past the end of the file.
TEST_F(ArchiveTest, RefusesCostumeBlocksThatCannotBeHandedOutWhole) {
    struct Case {
        const char* name;
        Bytes block;
        Messages errors;
    };
    const Case cases[] = {
        {"another tag", MakeBlock("VERX", Bytes(8, 0)), {"VERM not found."}},
        {"a size of 0", MakeBlockHeader("VERM", 0), {"Invalid VERM block header."}},
        {"a size shorter than its header",
         MakeBlockHeader("VERM", 7),
         {"Invalid VERM block header."}},
        {"a size past the end",
         Bytes(MakeBlockHeader("VERM", 100)),
         {"Failed to read from a file."}},
        {"a forged size allocates nothing",
         MakeBlockHeader("VERM", 0xFFFFFFFF),
         {"Failed to read from a file."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameFolder folder;
        folder.WriteLayout({{0, 1}, {{1, {}}, {1, c.block}}, {}});
        GameArchive archive(folder.directory, folder.baseName);
        ASSERT_TRUE(archive.Open());
        ExpectLookups(archive, {{1, CostumeLoadResult::Failed, c.errors, {}}});
    }
}

TEST_F(ArchiveTest, LooksUpRoomsAsTheDiskListsThem) {
    const uint32_t start = DiskContentStart(3);
    const Bytes block = Verm(0x5A, 4);
    Bytes contents = Bytes(10, 0);
    AppendBytes(contents, block);
    GameFolder folder;
    // Room 1 is listed twice: the later offset counts. Room 2 is on disk 1 but not listed.
    folder.WriteSlot(1, MakeDiskFile({{1, 9999}, {3, start}, {1, start + 10}}, contents));
    folder.WriteSlot(0,
                     MakeIndex({0, 1, 1, 1}, {1, 1, 1, 2, 3}, {0, 0x80000000, 0x7FFFFFFF, 0, 10}));
    GameArchive archive(folder.directory, folder.baseName);
    ASSERT_TRUE(archive.Open());
    EXPECT_EQ(archive.roomTables[1]->roomCount, 3);
    using R = CostumeLoadResult;
    ExpectLookups(archive, {
                               {0, R::Loaded, {}, block},
                               {4, R::Loaded, {}, block},
                               {1, R::Failed, {"Failed to seek a file."}, {}},  // before the start
                               {2, R::Failed, {"Failed to seek a file."}, {}},  // beyond 2 GiB
                               {3, R::Failed, {"Room not found on disk."}, {}},
                           });
}

TEST_F(ArchiveTest, OpensWhateverGameFilesArePresent) {
    struct Case {
        const char* name;
        std::vector<int> slots;  // of a game with rooms on disks 1 and 2
        bool opens;
        uint32_t costumes;
    };
    const Case cases[] = {
        {"all", {0, 1, 2}, true, 2},
        {"the index alone", {0}, true, 2},
        {"a disk without the index", {2}, true, 0},
        {"none", {}, false, 0},
    };
    GameFiles files;
    std::string error;
    ASSERT_TRUE(MakeGameFiles({{0, 1, 2}, {{1, Verm(1, 1)}, {2, Verm(2, 2)}}, {}}, &files, &error));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameFolder folder;
        folder.WriteFile("OTHER.LA0", files.index);  // other games and other names don't count
        folder.WriteFile("GAME.LA", files.index);
        folder.WriteFile("GAME.LA10", files.index);
        for (int slot : c.slots)
            folder.WriteSlot(slot, slot == 0 ? files.index : files.disks[slot]);
        GameArchive archive(folder.directory, folder.baseName);
        EXPECT_EQ(archive.Open(), c.opens);
        EXPECT_EQ(Errors(), c.opens ? Messages{} : Messages{"No SCUMM disks found."});
        EXPECT_EQ(archive.costumeDirectory.count, c.costumes);
        for (int slot = 0; slot < GameArchive::kSlotCount; ++slot) {
            const bool present = std::find(c.slots.begin(), c.slots.end(), slot) != c.slots.end();
            EXPECT_EQ(archive.files[slot] != nullptr, present) << "slot " << slot;
            EXPECT_EQ(archive.roomTables[slot] != nullptr, present && slot != 0) << "slot " << slot;
        }
        if (c.opens && c.costumes > 0) {
            const bool onDisk = c.slots.size() > 1;
            ExpectLookups(archive,
                          {{1,
                            onDisk ? CostumeLoadResult::Loaded : CostumeLoadResult::NotPresent,
                            {},
                            onDisk ? Verm(2, 2) : Bytes{}}});
        }
    }
}

// Names match whatever their letter case; among several, the upper-case extension spelled as
// the slot's wins, then the first in byte order. Only regular files count.
TEST_F(ArchiveTest, MatchesNamesIgnoringCase) {
    GameFiles files;
    std::string error;
    ASSERT_TRUE(MakeGameFiles({{0, 1, 2}, {{1, {}}}, {}}, &files, &error));
    const Bytes junk = MakeBlock("JUNK", {});
    GameFolder folder;
    folder.baseName = "Mi.Demo";  // the extension is appended to a name with a dot too
    folder.WriteFile("mI.dEMO.la0", files.index);
    folder.WriteFile("mi.demo.LA1", junk);  // later in byte order
    folder.WriteFile("MI.DEMO.la1", junk);  // lower-case extension
    folder.WriteFile("Mi.Demo.LA1", files.disks[1]);
    folder.WriteFile("Mi.Demo", junk);
    std::filesystem::create_directory(folder.dir.path / "Mi.Demo.LA2");
    const std::string noSeparator = folder.dir.path.string();
    GameArchive archive(noSeparator, folder.baseName);
    ASSERT_TRUE(archive.Open());
    EXPECT_TRUE(Errors().empty());
    EXPECT_EQ(archive.paths[0], folder.Path("mI.dEMO.la0"));
    EXPECT_EQ(archive.paths[1], folder.Path("Mi.Demo.LA1"));
    EXPECT_FALSE(archive.files[2]);
}

// Disk 2 is broken: disks 0 and 1 stay open, 2 keeps its file and table, 3 is never looked at.
TEST_F(ArchiveTest, AFailedOpenKeepsWhatItTookUntilDestroy) {
    Bytes lecf = MakeBlockHeader("LECF", 100);
    Bytes shortLoff = lecf;
    AppendBytes(shortLoff, MakeBlockHeader("LOFF", 100));
    AppendBytes(shortLoff, {2, 1, 0, 0, 0, 0, 2, 0});
    Bytes loffFirst = MakeBlockHeader("LOFF", 100);
    AppendBytes(loffFirst, lecf);
    Bytes noLoff = lecf;
    AppendBytes(noLoff, MakeBlock("LFLF", Bytes(9, 0)));
    struct Case {
        const char* name;
        Bytes disk;
        Messages errors;
    };
    const Case cases[] = {
        {"another first tag", loffFirst, {"Invalid SCUMM disk found."}},
        {"another second tag", noLoff, {"Invalid SCUMM disk found."}},
        {"an empty file", {}, {"Failed to read from a file."}},
        {"no second header", lecf, {"Failed to read from a file."}},
        {"a short room list", shortLoff, {"Failed to read from a file."}},
    };
    GameFiles files;
    std::string error;
    ASSERT_TRUE(MakeGameFiles({{0, 1, 2, 3}, {{1, Verm(1, 1)}}, {}}, &files, &error));
    const int baseline = OpenDescriptors();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameFolder folder;
        for (int slot : {0, 1, 3})
            folder.WriteSlot(slot, slot == 0 ? files.index : files.disks[slot]);
        folder.WriteSlot(2, c.disk);
        GameArchive archive(folder.directory, folder.baseName);
        EXPECT_FALSE(archive.Open());
        EXPECT_EQ(Errors(), c.errors);
        for (int slot = 0; slot < GameArchive::kSlotCount; ++slot) {
            EXPECT_EQ(archive.files[slot] && archive.files[slot]->IsOpen(), slot <= 2) << slot;
            EXPECT_EQ(archive.roomTables[slot] != nullptr, slot == 1 || slot == 2) << slot;
        }
        ExpectDescriptors(baseline, 3);
        archive.Destroy();
        archive.Destroy();
        ExpectDescriptors(baseline, 0);
        for (int slot = 0; slot < GameArchive::kSlotCount; ++slot) {
            EXPECT_FALSE(archive.files[slot]);
            EXPECT_FALSE(archive.roomTables[slot]);
            EXPECT_TRUE(archive.paths[slot].empty());
        }
        EXPECT_EQ(archive.roomDirectory.count, 0u);
        EXPECT_EQ(archive.costumeDirectory.count, 0u);
        EXPECT_TRUE(Errors().empty());
    }
}

TEST_F(ArchiveTest, DestroyClosesEveryFileAndCanRunAgain) {
    const int baseline = OpenDescriptors();
    GameFolder folder;
    folder.WriteLayout({{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {{1, Verm(1, 1)}, {9, Verm(9, 9)}}, {}});
    GameArchive archive(folder.directory, folder.baseName);
    archive.Destroy();  // never opened
    ASSERT_TRUE(archive.Open());
    ExpectDescriptors(baseline, 10);
    archive.Destroy();
    ExpectDescriptors(baseline, 0);
    for (const auto& file : archive.files) EXPECT_FALSE(file);
    archive.Destroy();
    EXPECT_TRUE(Errors().empty());
}

}  // namespace
