#include "archive/resource_file.h"

#include <filesystem>
#include <numeric>

#include "archive_fixture.h"

namespace {

class ResourceFileTest : public ArchiveTest {
protected:
    GameFolder folder;
    ResourceFile file;

    // Opens a file of `length` bytes 0, 1, 2, ...
    void OpenCounting(size_t length) {
        std::vector<uint8_t> bytes(length);
        std::iota(bytes.begin(), bytes.end(), uint8_t{0});
        folder.WriteFile("DATA", bytes);
        ASSERT_TRUE(file.Open(folder.Path("DATA")));
        ASSERT_TRUE(Errors().empty());
    }
};

TEST_F(ResourceFileTest, ThatCannotBeOpenedStaysClosedWithOneMessageNamingFileAndReason) {
    std::filesystem::create_directory(folder.dir.path / "FOLDER");
    const std::pair<const char*, const char*> cases[] = {
        {"MISSING", "No such file or directory"}, {"FOLDER", "a folder, not a file"}};
    for (const auto& [name, reason] : cases) {
        SCOPED_TRACE(name);
        g_headless.fileDetails.clear();
        EXPECT_FALSE(file.Open(folder.Path(name)));
        EXPECT_FALSE(file.IsOpen());
        file.Close();
        file.Close();
        EXPECT_EQ(Errors(), Messages{"Failed to open file."});
        EXPECT_EQ(g_headless.fileDetails, Messages{folder.Path(name) + ": " + reason});
    }
}

TEST_F(ResourceFileTest, ReadsExactlyOrFailsAfterDeliveringWhatWasThere) {
    OpenCounting(13);
    EXPECT_EQ(file.size, 13u);
    uint8_t bytes[8] = {};
    ASSERT_TRUE(file.ReadExact(bytes, 8));
    EXPECT_EQ(bytes[7], 7);
    ASSERT_TRUE(file.SeekFromCurrent(-8));  // back to where the read began
    ASSERT_TRUE(file.ReadExact(bytes, 8));
    EXPECT_EQ(bytes[0], 0);
    EXPECT_FALSE(file.ReadExact(bytes, 8));  // 5 remain
    EXPECT_EQ(bytes[4], 12);
    EXPECT_EQ(file.CurrentPosition(), 13u);
    EXPECT_TRUE(file.ReadExact(bytes, 0));  // nothing asked at the end is no failure
    EXPECT_EQ(Errors(), Messages{"Failed to read from a file."});
    EXPECT_EQ(g_headless.fileDetails, Messages{folder.Path("DATA") + ": it is only 13 bytes long"});
}

TEST_F(ResourceFileTest, ReachesSigned32BitPositionsOnly) {
    struct Case {
        const char* name;
        bool fromStart;
        int64_t move;  // offset from the start, or distance from position 10
        bool succeeds;
    };
    const Case cases[] = {
        {"to the start", true, 0, true},
        {"past the end", true, 1000, true},
        {"to the last signed position", true, 0x7FFFFFFF, true},
        {"to 2 GiB", true, 0x80000000, false},
        {"to the all-ones position", true, 0xFFFFFFFF, false},
        {"back to the start", false, -10, true},
        {"before the start", false, -11, false},
        {"forward past the end", false, 100, true},
        {"forward to the last signed position", false, 0x7FFFFFFF - 10, true},
        {"forward beyond it", false, 0x7FFFFFFF - 9, false},
    };
    OpenCounting(20);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(file.SeekFromStart(10));
        const bool moved = c.fromStart ? file.SeekFromStart(static_cast<uint32_t>(c.move))
                                       : file.SeekFromCurrent(static_cast<int32_t>(c.move));
        EXPECT_EQ(moved, c.succeeds);
        EXPECT_EQ(Errors(), c.succeeds ? Messages{} : Messages{"Failed to seek a file."});
    }
}

TEST_F(ResourceFileTest, PastTheEndSeeksButTheNextReadFails) {
    OpenCounting(4);
    ASSERT_TRUE(file.SeekFromStart(100));
    EXPECT_EQ(file.CurrentPosition(), 100u);
    EXPECT_FALSE(file.HasRemaining(0));
    uint8_t byte = 0;
    EXPECT_FALSE(file.ReadExact(&byte, 1));
    EXPECT_EQ(Errors(), (Messages{"Failed to read from a file.", "Failed to read from a file."}));
}

// A size that needs more than 32 bits is refused; the largest 32-bit size is kept whole.
TEST_F(ResourceFileTest, Of4GiBOrMoreIsRefused) {
    const auto path = folder.dir.path / "HUGE";
    folder.WriteFile("HUGE", {});
    std::error_code error;
    std::filesystem::resize_file(path, uint64_t{1} << 32, error);
    if (error || std::filesystem::file_size(path) != uint64_t{1} << 32) {
        GTEST_SKIP() << "this file system cannot hold a sparse 4 GiB file: " << error.message();
    }
    EXPECT_FALSE(file.Open(path.string()));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(Errors(), Messages{"File too large."});

    std::filesystem::resize_file(path, (uint64_t{1} << 32) - 1);
    ASSERT_TRUE(file.Open(path.string()));
    EXPECT_EQ(file.size, 0xFFFFFFFFu);
    EXPECT_FALSE(file.SeekFromStart(0x80000000));
    EXPECT_EQ(Errors(), Messages{"Failed to seek a file."});
}

}  // namespace
