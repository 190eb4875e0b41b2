// Thumbnails as a file manager makes them: the Exec line of the installed thumbnailer file,
// with %i, %o and %s filled in, run as it stands. The picture is the first frame of the first
// costume that loads, by whole steps, centred on transparency, with index 0 transparent.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "cli/cli_fixture.h"

namespace {

// The value of `key=` in the thumbnailer file.
std::string ThumbnailerField(const std::string& key) {
    std::ifstream file(std::string(DUZURORO_PACKAGING) + "/duzuroro.thumbnailer");
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    return "";
}

// A frame whose pixels run through indices 0 to 4, so that transparency shows.
CostumeFrame Stripes(uint16_t width, uint16_t height) {
    CostumeFrame frame{width, height, std::vector<uint8_t>(size_t{width} * height)};
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) frame.pixels[y * width + x] = static_cast<uint8_t>((x + 2 * y) % 5);
    }
    return frame;
}

std::vector<uint8_t> StripedCostume(uint16_t width, uint16_t height) {
    CostumeDesign design;
    design.codec = 5;
    for (uint8_t i = 0; i < 16; ++i) design.colours.insert(design.colours.end(), {i, uint8_t(i * 10), uint8_t(200 - i)});
    design.frames = {Stripes(width, height), Stripes(3, 3)};
    return BuildCostumeBlock(design);
}

struct ThumbnailCase {
    const char* name;
    uint16_t width, height;
    uint32_t size;
    uint32_t scale, divisor;  // what the picture must be drawn with
};

class ThumbnailTest : public CliTest, public ::testing::WithParamInterface<ThumbnailCase> {
protected:
    // Runs the thumbnailer's Exec line as a file manager does.
    ToolRun RunThumbnailer(const fs::path& input, const fs::path& output, uint32_t size) {
        std::istringstream words(ThumbnailerField("Exec"));
        std::string program, word;
        words >> program;
        EXPECT_EQ(program, "duzuroro-cli");  // found on the PATH once installed
        std::vector<std::string> arguments;
        while (words >> word) {
            if (word == "%i") word = input.string();
            if (word == "%o") word = output.string();
            if (word == "%s") word = std::to_string(size);
            arguments.push_back(word);
        }
        return Run(arguments);
    }

    void WriteGameOf(const std::vector<GameCostume>& costumes) {
        GameLayout layout;
        layout.roomDisks = {0, 1, 2};
        layout.absentDisks = {2};
        layout.costumes = costumes;
        std::string error;
        ASSERT_TRUE(WriteGame(game, "DEMO", layout, &error)) << error;
    }
};

// Small frames grow by whole steps up to eight times; large ones are thinned by sampling
// every divisor-th pixel; costumes that fail or are not present are stepped over.
TEST_P(ThumbnailTest, DrawsTheFirstFrameThatLoadsCentredOnTransparency) {
    const ThumbnailCase& asked = GetParam();
    WriteGameOf({{},
                 {1, std::vector<uint8_t>(64, 'X')},        // not a VERM block
                 {2, StripedCostume(4, 4)},                        // on a disk that is missing
                 {1, StripedCostume(asked.width, asked.height)}});
    const fs::path picture = temp.path / "thumbnail.png";
    const ToolRun run = RunThumbnailer(IndexFile(), picture, asked.size);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out + run.err, "");

    const PngContents png = ReadBack(picture);
    EXPECT_EQ(png.colourType, PNG_COLOR_TYPE_RGB_ALPHA);
    ASSERT_EQ(png.width, asked.size);
    ASSERT_EQ(png.height, asked.size);
    const CostumeFrame frame = Stripes(asked.width, asked.height);
    const uint32_t drawnWidth = (asked.width + asked.divisor - 1) / asked.divisor * asked.scale;
    const uint32_t drawnHeight = (asked.height + asked.divisor - 1) / asked.divisor * asked.scale;
    const uint32_t left = (asked.size - drawnWidth) / 2, top = (asked.size - drawnHeight) / 2;
    uint64_t wrong = 0;
    for (uint32_t y = 0; y < asked.size; ++y) {
        for (uint32_t x = 0; x < asked.size; ++x) {
            uint8_t expected[4] = {0, 0, 0, 0};
            if (x >= left && x < left + drawnWidth && y >= top && y < top + drawnHeight) {
                const uint32_t fx = (x - left) / asked.scale * asked.divisor;
                const uint32_t fy = (y - top) / asked.scale * asked.divisor;
                const uint8_t index = frame.pixels[fy * asked.width + fx];
                if (index != 0) {
                    expected[0] = index;
                    expected[1] = static_cast<uint8_t>(index * 10);
                    expected[2] = static_cast<uint8_t>(200 - index);
                    expected[3] = 255;
                }
            }
            wrong += !std::equal(expected, expected + 4, &png.pixels[(size_t{y} * asked.size + x) * 4]);
        }
    }
    EXPECT_EQ(wrong, 0u);
    // The thumbnail and nothing else: no temporary file is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path), fs::directory_iterator()),
              4);  // game/, stdout.txt, stderr.txt, thumbnail.png
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ThumbnailTest,
    ::testing::Values(ThumbnailCase{"TinyGrowsAtMostEightTimes", 10, 6, 128, 8, 1},
                      ThumbnailCase{"WholeStepsThatFit", 40, 20, 128, 3, 1},
                      ThumbnailCase{"ExactFit", 64, 32, 64, 1, 1},
                      ThumbnailCase{"LargeIsSampled", 300, 100, 128, 1, 3},
                      ThumbnailCase{"TallIsSampled", 20, 257, 128, 1, 3},
                      ThumbnailCase{"LargeThumbnailSize", 48, 48, 256, 5, 1}),
    [](const auto& tested) { return std::string(tested.param.name); });

TEST_F(CliTest, ThumbnailerIsForTheIndexFileType) {
    EXPECT_EQ(ThumbnailerField("MimeType"), "application/x-duzuroro-index;");
    const std::string mime = ReadFileText(std::string(DUZURORO_PACKAGING) + "/duzuroro-mime.xml");
    EXPECT_NE(mime.find("<mime-type type=\"application/x-duzuroro-index\">"), std::string::npos);
}

// No thumbnail, exit 1 and no file, when nothing can be drawn or the game is not one.
TEST_F(CliTest, ThumbnailOfAGameWithoutAFrameIsNotWritten) {
    struct Case {
        const char* name;
        std::vector<GameCostume> costumes;
    };
    CostumeDesign empty;
    empty.codec = 1;
    empty.colours.assign(48, 9);
    const std::vector<Case> cases = {
        {"no costumes", {{}}},
        {"only broken ones", {{}, {1, std::vector<uint8_t>(64, 'X')}, {2, StripedCostume(2, 2)}}},
        {"no frames", {{}, {1, BuildCostumeBlock(empty)}}},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        fs::remove_all(game);
        GameLayout layout;
        layout.roomDisks = {0, 1, 2};
        layout.absentDisks = {2};
        layout.costumes = each.costumes;
        std::string error;
        ASSERT_TRUE(WriteGame(game, "DEMO", layout, &error)) << error;
        const fs::path picture = temp.path / "thumbnail.png";
        const ToolRun run = Run({"thumbnail", IndexFile(), picture.string()});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, "Error: No costume has a frame to show: no thumbnail. [" + IndexFile() + "]\n");
        EXPECT_FALSE(fs::exists(picture));
    }
    fs::create_directories(temp.path / "other");
    std::ofstream(temp.path / "other" / "NOTES.LA0") << "not an index file";
    const ToolRun run = Run({"thumbnail", (temp.path / "other" / "NOTES.LA0").string(),
                             (temp.path / "t.png").string(), "--size", "15"});
    EXPECT_EQ(run.exitCode, 2) << "a size below 16 is a usage error";
    const ToolRun notIndex = Run({"thumbnail", (temp.path / "other" / "NOTES.LA0").string(),
                                  (temp.path / "t.png").string()});
    EXPECT_EQ(notIndex.exitCode, 1);
    EXPECT_FALSE(fs::exists(temp.path / "t.png"));
}

// A file manager asks again for every file in a folder: the demo game's thumbnail must come
// quickly and in little memory.
TEST_F(CliTest, ThumbnailOfTheDemoGameIsQuick) {
    MakeDemo();
    const auto start = std::chrono::steady_clock::now();
    constexpr int kRuns = 10;
    long peak = 0;
    for (int i = 0; i < kRuns; ++i) {
        const ToolRun run = Run({"thumbnail", IndexFile(), (temp.path / "t.png").string(), "--size", "256"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        peak = std::max(peak, run.peakMemoryKb);
    }
    const auto each = std::chrono::duration_cast<std::chrono::milliseconds>(
        (std::chrono::steady_clock::now() - start) / kRuns);
    // 20 ms is the aim on an idle machine. A test must not fail on a busy or sanitized one,
    // so it says the figure and fails only at fifty times the aim.
    RecordProperty("milliseconds_per_thumbnail", static_cast<int>(each.count()));
    EXPECT_LT(each.count(), 1000);
    // Under AddressSanitizer the tool's memory is mostly its shadow and quarantine.
#ifndef __SANITIZE_ADDRESS__
    EXPECT_LT(peak, 32 * 1024);
#endif
}

}  // namespace
