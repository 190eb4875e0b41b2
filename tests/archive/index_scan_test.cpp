#include <cctype>

#include "archive_fixture.h"
#include "authoring/block_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) AppendBytes(joined, part);
    return joined;
}

Bytes Droo(const Bytes& disks) {
    return MakeBlock("DROO", MakeDirectoryRecord(disks, {}));
}

Bytes Dcos(const Bytes& rooms, const std::vector<uint32_t>& offsets) {
    return MakeBlock("DCOS", MakeDirectoryRecord(rooms, offsets));
}

// A directory block whose body holds `count` and then `length` - 4 zero bytes.
Bytes ForgedDirectory(const char (&tag)[5], uint32_t count, size_t length) {
    Bytes body;
    AppendU32LE(body, count);
    body.resize(length, 0);
    return MakeBlock(tag, body);
}

struct ScanCase {
    const char* name;
    Bytes index;
    Messages errors;  // none means the scan, and with it the open, succeeds
    uint32_t rooms = 0;
    uint32_t costumes = 0;
};

void PrintTo(const ScanCase& c, std::ostream* out) {
    *out << c.name;
}

class IndexScanTest : public ArchiveTest, public ::testing::WithParamInterface<ScanCase> {};

// Only the index file is there, so the open stands or falls with the scan.
TEST_P(IndexScanTest, OpensAnIndexAlone) {
    const ScanCase& c = GetParam();
    GameFolder folder;
    folder.WriteSlot(0, c.index);
    GameArchive archive(folder.directory, folder.baseName);
    EXPECT_EQ(archive.Open(), c.errors.empty());
    EXPECT_EQ(Errors(), c.errors);
    EXPECT_EQ(archive.roomDirectory.count, c.rooms);
    EXPECT_EQ(archive.costumeDirectory.count, c.costumes);
}

const Bytes kMaxs = MakeBlock("MAXS", Bytes(10, 0));

INSTANTIATE_TEST_SUITE_P(
    Cases, IndexScanTest,
    ::testing::Values(
        ScanCase{"every known tag",
                 Join({MakeBlock("RNAM", {0}), kMaxs, Droo({1, 1}), MakeBlock("DSCR", {}),
                       MakeBlock("DSOU", {}), Dcos({1, 1, 1}, {}), MakeBlock("DCHR", {}),
                       MakeBlock("DOBJ", {}), MakeBlock("AARY", {}), MakeBlock("ANAM", {}),
                       MakeBlock("DRSC", {})}),
                 {},
                 2,
                 3},
        ScanCase{"no directories", kMaxs, {}},
        ScanCase{"empty directories", Join({Droo({}), Dcos({}, {})}), {}},
        ScanCase{"bytes after the record are stepped over",
                 Join({ForgedDirectory("DROO", 1, 40), Dcos({0}, {})}),
                 {},
                 1,
                 1},
        ScanCase{"a second DROO replaces the first", Join({Droo({1, 2, 3}), Droo({4})}), {}, 1},
        ScanCase{"an empty index", {}, {"Failed to read from a file."}},
        ScanCase{"three stray bytes after the last block",
                 Join({Droo({1}), {1, 2, 3}}),
                 {"Failed to read from a file."},
                 1},
        ScanCase{"an unknown tag", Join({kMaxs, MakeBlock("WXYZ", {})}), {"Unknown block: WXYZ"}},
        ScanCase{"tags are case-sensitive", MakeBlock("droo", {}), {"Unknown block: droo"}},
        // A forged tag must not reach a terminal or a message box as control bytes or as
        // broken characters: every byte outside printable ASCII is spelled out.
        ScanCase{"a tag of control bytes is shown spelled out",
                 MakeBlock("AH\x1b[", {}),
                 {"Unknown block: AH\\x1B["}},
        ScanCase{"a tag that is not UTF-8 is shown spelled out",
                 MakeBlock("\xff\xfe\x80\\", {}),
                 {"Unknown block: \\xFF\\xFE\\x80\\x5C"}},
        ScanCase{"a tag of zero bytes is shown spelled out",
                 MakeBlock("\0\0\0\0", {}),
                 {"Unknown block: \\x00\\x00\\x00\\x00"}},
        ScanCase{"a size of 0 would read the same header for ever",
                 MakeBlockHeader("MAXS", 0),
                 {"Invalid block size."}},
        ScanCase{"a directory smaller than its header",
                 Join({MakeBlockHeader("DCOS", 7), Bytes(8, 0)}),
                 {"Invalid block size."}},
        ScanCase{"a skipped block reaching past the end ends the scan",
                 Join({Droo({1}), MakeBlockHeader("DSCR", 1000)}),
                 {},
                 1},
        ScanCase{"a forged size never moves backwards",
                 Join({MakeBlock("RNAM", {}), MakeBlockHeader("MAXS", 0xFFFFFFF8), Droo({1})}),
                 {}},
        ScanCase{"a directory body reaching past the end",
                 Join({Droo({1}), MakeBlockHeader("DCOS", 100), Bytes(20, 0)}),
                 {"Failed to read from a file."},
                 1},
        ScanCase{"a forged directory size allocates nothing",
                 Join({MakeBlockHeader("DROO", 0xFFFFFFFF), Bytes(8, 0)}),
                 {"Failed to read from a file."}},
        ScanCase{"a count that needs one byte more",
                 ForgedDirectory("DCOS", 2, 4 + 2 * 5 - 1),
                 {"Invalid directory."}},
        ScanCase{"a count whose record size overflows",
                 ForgedDirectory("DCOS", 0x33333334, 24),
                 {"Invalid directory."}},
        ScanCase{"a body too short for the count",
                 ForgedDirectory("DROO", 0, 3),
                 {"Invalid directory."}}),
    [](const auto& testInfo) {
        std::string name = testInfo.param.name;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        }
        return name;
    });

TEST_F(ArchiveTest, ADirectoryRecordIsCopiedEntryByEntry) {
    GameFolder folder;
    folder.WriteSlot(0, Join({kMaxs, Droo({0, 1, 9}), MakeBlock("DSCR", Bytes(3, 7)),
                              Dcos({5, 5, 7}, {100, 200, 0x12345678})}));
    GameArchive archive(folder.directory, folder.baseName);
    ASSERT_TRUE(archive.Open());
    EXPECT_EQ(archive.roomDirectory.numbers, (Bytes{0, 1, 9}));
    EXPECT_EQ(archive.costumeDirectory.numbers, (Bytes{5, 5, 7}));
    EXPECT_EQ(archive.costumeDirectory.offsets, (std::vector<uint32_t>{100, 200, 0x12345678}));
    EXPECT_TRUE(Errors().empty());
}

}  // namespace
