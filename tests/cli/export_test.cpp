// The export formats as a modder uses them: sprite sheets with their JSON, animated GIFs,
// palette files, scaling and selections, each read back and compared pixel by pixel with
// what the core renders.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "cli/cli_fixture.h"
#include "support/gif/gif_reader.h"
#include "costume/costume_palette.h"

namespace {

using nlohmann::json;

// Costume 1 has frames of different sizes and one without pixels; costume 2 two frames.
void WriteMixedGame(const fs::path& directory) {
    GameLayout layout;
    layout.roomDisks = {0, 1};
    layout.costumes = {
        {},
        {1, BuildCostumeBlock(Rectangles(5, 16, {{3, 2}, {1, 4}, {5, 1}, {0, 3}, {2, 2}}))},
        {1, BuildCostumeBlock(Rectangles(1, 32, {{4, 4}, {2, 6}}))},
    };
    std::string error;
    ASSERT_TRUE(WriteGame(directory, "MIX", layout, &error)) << error;
}

// The frame's pixels enlarged `scale` times.
std::vector<uint8_t> Scaled(const IndexedImage& image, uint32_t scale) {
    std::vector<uint8_t> pixels;
    for (uint32_t y = 0; y < image.height * scale; ++y) {
        for (uint32_t x = 0; x < image.width * scale; ++x) {
            pixels.push_back(image.pixels[(y / scale) * image.width + x / scale]);
        }
    }
    return pixels;
}

// `picture` (width bytes a row) with `part` (partWidth bytes a row) laid over it at (x, y).
void Lay(std::vector<uint8_t>& picture, uint32_t width, const std::vector<uint8_t>& part,
         uint32_t partWidth, uint32_t x, uint32_t y) {
    for (size_t row = 0; partWidth > 0 && row < part.size() / partWidth; ++row) {
        std::copy_n(&part[row * partWidth], partWidth, &picture[(y + row) * width + x]);
    }
}

struct ExportTest : CliTest {
    fs::path MixedIndex() const { return game / "MIX.LA0"; }
    std::string mixedDirectory = (game / "").string();  // borrowed by the archives made here
    std::string mixedBase = "MIX";

    std::unique_ptr<GameArchive> OpenMixed() {
        auto archive = std::make_unique<GameArchive>(mixedDirectory, mixedBase);
        EXPECT_TRUE(archive->Open());
        return archive;
    }
};

struct SheetCase {
    const char* name;
    std::vector<std::string> options;
    std::string layout;
    uint32_t padding;
    uint32_t scale;
    bool hash;
    uint32_t duration;
    int transparent;  // -1: none
};

TEST_F(ExportTest, SheetsPlaceEveryFrameWithPixelsWhereTheirJsonSays) {
    WriteMixedGame(game);
    const SheetCase cases[] = {
        {"row, the defaults", {}, "row", 0, 1, false, 100, -1},
        {"column, padded, hash",
         {"--layout", "column", "--padding", "2", "--sheet-json", "hash", "--transparent", "7"},
         "column", 2, 1, true, 100, 7},
        {"grid at 3x, 24 fps", {"--layout", "grid", "--scale", "3", "--fps", "24"}, "grid", 0,
         3, false, 42, -1},
        {"grid, padded at 2x", {"--layout", "grid", "--padding", "1", "--scale", "2"}, "grid", 1,
         2, false, 100, -1},
    };
    auto archive = OpenMixed();
    LoadedCostume core;
    core.Load(*archive, 1);
    ASSERT_TRUE(core.costume);
    const std::vector<uint16_t> withPixels = {1, 2, 3, 5};
    for (const SheetCase& sheet : cases) {
        SCOPED_TRACE(sheet.name);
        fs::remove_all(out);
        std::vector<std::string> arguments = {"export", MixedIndex().string(), "--costume", "1",
                                              "--sheet", "--out", out.string()};
        arguments.insert(arguments.end(), sheet.options.begin(), sheet.options.end());
        const ToolRun run = Run(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(Said(run), "Note: Costume 1, frame 4 has no pixels. Skipped.\n");
        EXPECT_EQ(Written(), (std::set<std::string>{"costume-0001-sheet.json",
                                                    "costume-0001-sheet.png"}));

        const json layout = json::parse(ReadFileText(out / "costume-0001-sheet.json"));
        const PngContents png = ReadBack(out / "costume-0001-sheet.png");
        EXPECT_EQ(png.colourType, PNG_COLOR_TYPE_PALETTE);
        const CostumePalette palette = PaletteOf(*core.costume);
        EXPECT_EQ(png.palette, std::vector<uint8_t>(palette.begin(), palette.end()));
        const uint8_t background = sheet.transparent < 0 ? 0 : uint8_t(sheet.transparent);
        if (sheet.transparent >= 0) {
            EXPECT_EQ(png.alpha.back(), 0);
        }
        EXPECT_EQ(layout["meta"],
                  (json{{"app", "DuzuRoro"},
                        {"version", DUZURORO_VERSION},
                        {"image", "costume-0001-sheet.png"},
                        {"format", "I8"},
                        {"size", {{"w", png.width}, {"h", png.height}}},
                        {"scale", std::to_string(sheet.scale)},
                        {"frameTags",
                         {{{"name", "costume-0001"}, {"from", 0}, {"to", 3},
                           {"direction", "forward"}}}}}));

        ASSERT_EQ(layout["frames"].size(), withPixels.size());
        std::vector<uint8_t> expected(size_t{png.width} * png.height, background);
        std::vector<json> rectangles;
        for (size_t i = 0; i < withPixels.size(); ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "costume-0001-frame-%03u", withPixels[i]);
            json entry = sheet.hash ? layout["frames"][name] : layout["frames"][i];
            if (!sheet.hash) {
                EXPECT_EQ(entry["filename"], name);
                entry.erase("filename");
            }
            const IndexedImage image = CoreFrame(core, withPixels[i]);
            const uint32_t w = image.width * sheet.scale, h = image.height * sheet.scale;
            const json& rectangle = entry["frame"];
            EXPECT_EQ(entry, (json{{"frame", rectangle},
                                   {"rotated", false},
                                   {"trimmed", false},
                                   {"spriteSourceSize", {{"x", 0}, {"y", 0}, {"w", w}, {"h", h}}},
                                   {"sourceSize", {{"w", w}, {"h", h}}},
                                   {"duration", sheet.duration}}));
            EXPECT_EQ(rectangle["w"], w);
            EXPECT_EQ(rectangle["h"], h);
            ASSERT_LE(rectangle["x"].get<uint32_t>() + w, png.width - sheet.padding);
            ASSERT_LE(rectangle["y"].get<uint32_t>() + h, png.height - sheet.padding);
            Lay(expected, png.width, Scaled(image, sheet.scale), w, rectangle["x"],
                rectangle["y"]);
            rectangles.push_back(rectangle);
        }
        EXPECT_TRUE(png.pixels == expected);

        // Where the cells go: one row, one column, or two columns of two (ceil(sqrt(4))),
        // each as wide as its widest frame and each row as tall as its tallest; padding
        // between and around them.
        const uint32_t p = sheet.padding, s = sheet.scale;
        std::vector<std::pair<uint32_t, uint32_t>> corners;
        for (const json& r : rectangles) corners.emplace_back(r["x"], r["y"]);
        if (sheet.layout == "row") {
            EXPECT_EQ(corners, (std::vector<std::pair<uint32_t, uint32_t>>{
                                   {p, p}, {p + 3 * s + p, p}, {p + 4 * s + 2 * p, p},
                                   {p + 9 * s + 3 * p, p}}));
        } else if (sheet.layout == "column") {
            EXPECT_EQ(corners, (std::vector<std::pair<uint32_t, uint32_t>>{
                                   {p, p}, {p, p + 2 * s + p}, {p, p + 6 * s + 2 * p},
                                   {p, p + 7 * s + 3 * p}}));
        } else {
            EXPECT_EQ(corners, (std::vector<std::pair<uint32_t, uint32_t>>{
                                   {p, p}, {p + 5 * s + p, p}, {p, p + 4 * s + p},
                                   {p + 5 * s + p, p + 4 * s + p}}));
        }
    }
}

struct GifCase {
    const char* name;
    uint32_t costume;
    uint32_t fps;
    uint32_t scale;
    int transparent;  // -1: none
    int delay;
};

TEST_F(ExportTest, GifsShowEveryFrameOnTheWholeScreenWithTheCostumePalette) {
    WriteMixedGame(game);
    const GifCase cases[] = {
        {"frames of mixed sizes", 1, 10, 1, -1, 10},
        {"at 3x, transparent, 7 fps", 1, 7, 3, 9, 14},
        {"two tall frames at 100 fps", 2, 100, 2, 0, 1},
    };
    auto archive = OpenMixed();
    for (const GifCase& gif : cases) {
        SCOPED_TRACE(gif.name);
        fs::remove_all(out);
        std::vector<std::string> arguments = {
            "export", MixedIndex().string(), "--costume", std::to_string(gif.costume),
            "--format", "gif", "--fps", std::to_string(gif.fps), "--scale",
            std::to_string(gif.scale), "--out", out.string()};
        if (gif.transparent >= 0) {
            arguments.insert(arguments.end(), {"--transparent", std::to_string(gif.transparent)});
        }
        const ToolRun run = Run(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        char name[32];
        std::snprintf(name, sizeof name, "costume-%04u.gif", gif.costume);
        EXPECT_EQ(Written(), std::set<std::string>{name});

        GifContents contents;
        std::string error;
        ASSERT_TRUE(ReadGif(out / name, &contents, &error)) << error;
        LoadedCostume core;
        core.Load(*archive, gif.costume);
        const CostumePalette palette = PaletteOf(*core.costume);
        // The colour table keeps only the colours shown, so frames are compared in colours.
        const std::vector<uint8_t> costumeColours(palette.begin(), palette.end());
        ASSERT_LE(contents.palette.size(), palette.size());
        EXPECT_EQ(contents.loopCount, 0);

        std::vector<IndexedImage> images;
        uint32_t width = 0, height = 0;
        for (uint16_t frame = 1; frame <= core.costume->FrameCount(); ++frame) {
            IndexedImage image = CoreFrame(core, frame);
            if (image.width == 0 || image.height == 0) continue;
            width = std::max<uint32_t>(width, image.width * gif.scale);
            height = std::max<uint32_t>(height, image.height * gif.scale);
            images.push_back(std::move(image));
        }
        EXPECT_EQ(contents.width, width);
        EXPECT_EQ(contents.height, height);
        std::vector<GifShownFrame> shown;
        ASSERT_TRUE(CompositeGif(contents, &shown, &error)) << error;
        ASSERT_EQ(shown.size(), images.size());
        const uint8_t background = gif.transparent < 0 ? 0 : uint8_t(gif.transparent);
        for (size_t i = 0; i < images.size(); ++i) {
            SCOPED_TRACE("frame " + std::to_string(i));
            EXPECT_EQ(contents.frames[i].delay, gif.delay);
            std::vector<uint8_t> expected(size_t{width} * height, background);
            Lay(expected, width, Scaled(images[i], gif.scale), images[i].width * gif.scale, 0, 0);
            GifShownFrame expectedShown(expected.begin(), expected.end());
            if (gif.transparent >= 0) {
                std::replace(expectedShown.begin(), expectedShown.end(),
                             uint16_t(gif.transparent), kGifClear);
            }
            EXPECT_TRUE(ShownColours(shown[i], contents.palette) ==
                        ShownColours(expectedShown, costumeColours));
        }
    }
}

// The palette files as a paint program reads them: the 256 entries in order.
std::vector<uint8_t> ParseTextPalette(const std::string& text, size_t skipLines) {
    std::istringstream lines(text);
    std::string line;
    for (size_t i = 0; i < skipLines; ++i) std::getline(lines, line);
    std::vector<uint8_t> colours;
    while (std::getline(lines, line)) {
        unsigned r = 0, g = 0, b = 0;
        if (std::sscanf(line.c_str(), "%u %u %u", &r, &g, &b) != 3) break;
        colours.insert(colours.end(), {uint8_t(r), uint8_t(g), uint8_t(b)});
    }
    return colours;
}

TEST_F(ExportTest, PalettesHoldTheCostumesColoursInEachFormat) {
    WriteMixedGame(game);
    auto archive = OpenMixed();
    LoadedCostume loaded;
    loaded.Load(*archive, 2);
    const CostumePalette core = PaletteOf(*loaded.costume);
    const std::vector<uint8_t> colours(core.begin(), core.end());
    for (const char* format : {"gpl", "pal", "act"}) {
        for (bool transparent : {false, true}) {
            SCOPED_TRACE(std::string(format) + (transparent ? " transparent" : ""));
            fs::remove_all(out);
            std::vector<std::string> arguments = {"export",    MixedIndex().string(),
                                                  "--costume", "2",
                                                  "--palette", format,
                                                  "--out",     out.string()};
            if (transparent) arguments.insert(arguments.end(), {"--transparent", "5"});
            const ToolRun run = Run(arguments);
            ASSERT_EQ(run.exitCode, 0) << run.err;
            const std::string file = std::string("costume-0002.") + format;
            EXPECT_EQ(Written(), (std::set<std::string>{file, "costume-0002-frame-001.png",
                                                        "costume-0002-frame-002.png"}));
            const std::string text = ReadFileText(out / file);
            if (std::string(format) == "gpl") {
                EXPECT_EQ(text.substr(0, 43), "GIMP Palette\nName: costume-0002\nColumns: 16");
                EXPECT_EQ(ParseTextPalette(text, 4), colours);
            } else if (std::string(format) == "pal") {
                EXPECT_EQ(text.substr(0, 21), "JASC-PAL\r\n0100\r\n256\r\n");
                EXPECT_EQ(ParseTextPalette(text, 3), colours);
                EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 259);
            } else {
                ASSERT_EQ(text.size(), 772u);
                EXPECT_EQ(std::vector<uint8_t>(text.begin(), text.begin() + 768), colours);
                const std::string tail = transparent ? std::string("\x01\x00\x00\x05", 4)
                                                     : std::string("\x01\x00\xFF\xFF", 4);
                EXPECT_EQ(text.substr(768), tail);
            }
        }
    }
    fs::remove_all(out);
    const ToolRun run = Run({"export", MixedIndex().string(), "--palette", "act", "--palette-only",
                             "--out", out.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Said(run), "");
    EXPECT_EQ(Written(), (std::set<std::string>{"costume-0001.act", "costume-0002.act"}));
}

TEST_F(ExportTest, SelectionsAndScaleChooseWhatIsWrittenAndHowLarge) {
    WriteMixedGame(game);
    const ToolRun run = Run({"export", MixedIndex().string(), "--costume", "1", "--costume",
                             "2-2", "--frame", "2,5-9", "--frame", "1", "--scale", "4", "--out",
                             out.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Said(run),
              "Note: Costume 1 has 5 frames: the frames asked for from 6 on are skipped.\n"
              "Note: Costume 2 has 2 frames: the frames asked for from 5 on are skipped.\n");
    EXPECT_EQ(Written(), (std::set<std::string>{
                             "costume-0001-frame-001.png", "costume-0001-frame-002.png",
                             "costume-0001-frame-005.png", "costume-0002-frame-001.png",
                             "costume-0002-frame-002.png"}));
    auto archive = OpenMixed();
    LoadedCostume core;
    core.Load(*archive, 1);
    const IndexedImage image = CoreFrame(core, 2);
    const PngContents png = ReadBack(out / "costume-0001-frame-002.png");
    EXPECT_EQ(png.width, image.width * 4u);
    EXPECT_EQ(png.height, image.height * 4u);
    EXPECT_EQ(png.palette, image.palette);
    EXPECT_TRUE(png.pixels == Scaled(image, 4));
}

}  // namespace
