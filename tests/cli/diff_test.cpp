// diff over two releases made by the game writer with known changes: one pixel, a palette
// entry, a frame added, a costume removed, one added, one that fails in the second. Its text,
// its JSON and its page name exactly those, and its exit status is diff's.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "cli/cli_fixture.h"

namespace {

using Json = nlohmann::json;

CostumeFrame Stripes(uint16_t width, uint16_t height) {
    CostumeFrame frame{width, height, std::vector<uint8_t>(size_t{width} * height)};
    for (uint32_t i = 0; i < frame.pixels.size(); ++i) frame.pixels[i] = static_cast<uint8_t>(i % 7);
    return frame;
}

CostumeDesign Design(std::vector<CostumeFrame> frames) {
    CostumeDesign design;
    design.codec = 1;
    for (uint8_t i = 0; i < 16; ++i) {
        design.colours.insert(design.colours.end(), {i, uint8_t(i * 10), uint8_t(200 - i)});
    }
    design.frames = std::move(frames);
    return design;
}

struct DiffTest : CliTest {
    fs::path a = temp.path / "a", b = temp.path / "b";
    std::string IndexA() const { return (a / "GAME.LA0").string(); }
    std::string IndexB() const { return (b / "GAME.LA0").string(); }

    void WriteReleases() {
        const CostumeDesign plain = Design({Stripes(4, 3), Stripes(3, 3)});
        CostumeDesign onePixel = plain;
        onePixel.frames[0].pixels[5] = 9;
        CostumeDesign recoloured = plain;
        recoloured.colours[15] = 255;
        recoloured.colours[16] = 0;
        recoloured.colours[17] = 0;
        CostumeDesign longer = plain;
        longer.frames.push_back(Stripes(2, 2));

        GameLayout first;
        first.roomDisks = {0, 1, 1, 0};  // room 3 lies on no disk
        first.costumes = {{},
                          {1, BuildCostumeBlock(plain)},
                          {1, BuildCostumeBlock(plain)},
                          {2, BuildCostumeBlock(plain)},
                          {1, BuildCostumeBlock(plain)},
                          {1, BuildCostumeBlock(plain)},
                          {1, BuildCostumeBlock(plain)}};
        GameLayout second = first;
        second.costumes[2].block = BuildCostumeBlock(onePixel);
        second.costumes[3].block = BuildCostumeBlock(recoloured);
        second.costumes[4].block = BuildCostumeBlock(longer);
        second.costumes[5].block = std::vector<uint8_t>(64, 'X');
        second.costumes[6] = {3, {}};  // removed: its room is on no disk
        second.costumes.push_back({2, BuildCostumeBlock(plain)});  // beyond the first's count
        std::string error;
        ASSERT_TRUE(WriteGame(a, "GAME", first, &error)) << error;
        ASSERT_TRUE(WriteGame(b, "GAME", second, &error)) << error;
    }
};

const char kExpectedText[] =
    "Only in A: costume 6\n"
    "Only in B: costume 7\n"
    "Costume 2:\n"
    "  frame 1: 1 of 12 pixels differs\n"
    "Costume 3:\n"
    "  palette entry 5: #0532c3 in A, #ff0000 in B\n"
    "Costume 4:\n"
    "  frame count: 2 in A, 3 in B\n"
    "  frame 3: only in B\n"
    "Costume 5:\n"
    "  A: loaded; B: failed (VERM not found.)\n";

TEST_F(DiffTest, TextNamesExactlyTheChanges) {
    WriteReleases();
    const ToolRun run = Run({"diff", IndexA(), IndexB()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, kExpectedText);
}

TEST_F(DiffTest, JsonNamesExactlyTheChanges) {
    WriteReleases();
    const ToolRun run = Run({"diff", IndexA(), IndexB(), "--json"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "");
    const Json diff = Json::parse(run.out);
    EXPECT_EQ(diff["same"], false);
    EXPECT_EQ(diff["a"]["costumeCount"], 7);
    EXPECT_EQ(diff["b"]["costumeCount"], 8);
    EXPECT_EQ(diff["onlyInA"], Json::array({6}));
    EXPECT_EQ(diff["onlyInB"], Json::array({7}));
    const Json loaded = {{"status", "loaded"}, {"frameCount", 2}, {"codec", 1}, {"colourCount", 16}};
    Json longer = loaded;
    longer["frameCount"] = 3;
    const Json expected = Json::array({
        {{"number", 2},
         {"differs", {"frames"}},
         {"a", loaded},
         {"b", loaded},
         {"frames",
          {{{"frame", 1},
            {"differs", "pixels"},
            {"a", {{"width", 4}, {"height", 3}}},
            {"b", {{"width", 4}, {"height", 3}}},
            {"pixels", 1}}}}},
        {{"number", 3},
         {"differs", {"palette"}},
         {"a", loaded},
         {"b", loaded},
         {"palette", {{{"index", 5}, {"a", "#0532c3"}, {"b", "#ff0000"}}}}},
        {{"number", 4},
         {"differs", {"frameCount", "frames"}},
         {"a", loaded},
         {"b", longer},
         {"frames", {{{"frame", 3}, {"differs", "onlyInB"}, {"b", {{"width", 2}, {"height", 2}}}}}}},
        {{"number", 5},
         {"differs", {"status"}},
         {"a", loaded},
         {"b", {{"status", "failed"}, {"error", "VERM not found."}}}},
    });
    EXPECT_EQ(diff["changed"], expected) << diff["changed"].dump(2);
}

TEST_F(DiffTest, PageShowsEachChangedCostumeWithItsPictures) {
    WriteReleases();
    const ToolRun run = Run({"diff", IndexA(), IndexB(), "--out", out.string(), "--scale", "1"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.out, kExpectedText);
    EXPECT_EQ(Written(), (std::set<std::string>{
                             "index.html",
                             "costume-0002-frame-001-a.png", "costume-0002-frame-001-b.png",
                             "costume-0002-frame-001-d.png",
                             // a change of colours alone: the first frames show it
                             "costume-0003-frame-001-a.png", "costume-0003-frame-001-b.png",
                             "costume-0003-frame-001-d.png",
                             "costume-0004-frame-003-b.png", "costume-0004-frame-003-d.png"}));
    const std::string page = ReadFileText(out / "index.html");
    std::set<std::string> cards, pictures;
    const std::regex card("<article id=\"costume-([0-9]+)\""), picture("<img src=\"([^\"]+)\"");
    for (auto m = std::sregex_iterator(page.begin(), page.end(), card); m != std::sregex_iterator(); ++m) {
        cards.insert((*m)[1]);
    }
    for (auto m = std::sregex_iterator(page.begin(), page.end(), picture); m != std::sregex_iterator(); ++m) {
        pictures.insert((*m)[1]);
    }
    EXPECT_EQ(cards, (std::set<std::string>{"2", "3", "4", "5"}));
    std::set<std::string> files = Written();
    files.erase("index.html");
    EXPECT_EQ(pictures, files) << "the page shows every picture, and links to no other";
    EXPECT_NE(page.find("<p id=\"only-in-a\">Only in A: 6</p>"), std::string::npos);
    EXPECT_NE(page.find("<p id=\"only-in-b\">Only in B: 7</p>"), std::string::npos);
    EXPECT_NE(page.find("<li>A: loaded; B: failed (VERM not found.)</li>"), std::string::npos);

    // The one differing pixel, and only it, is magenta.
    const PngContents differences = ReadBack(out / "costume-0002-frame-001-d.png");
    ASSERT_EQ(differences.colourType, PNG_COLOR_TYPE_RGB);
    ASSERT_EQ(differences.width * differences.height, 12u);
    for (uint32_t i = 0; i < 12; ++i) {
        const bool magenta = differences.pixels[i * 3] == 255 && differences.pixels[i * 3 + 1] == 0 &&
                             differences.pixels[i * 3 + 2] == 255;
        EXPECT_EQ(magenta, i == 5) << "pixel " << i;
    }
    // The sides are the frames as the core renders them.
    const PngContents second = ReadBack(out / "costume-0002-frame-001-b.png");
    EXPECT_EQ(second.pixels[5], 9);
}

TEST_F(DiffTest, ExitStatusIsDiffs) {
    WriteReleases();
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        int exitCode;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"a game with itself", {"diff", IndexA(), IndexA()}, 0, ""},
        {"different", {"diff", IndexA(), IndexB()}, 1, kExpectedText},
        {"a game missing", {"diff", IndexA(), (temp.path / "NONE.LA0").string()}, 2, ""},
        {"--scale without --out", {"diff", IndexA(), IndexB(), "--scale", "2"}, 2, ""},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        const ToolRun run = Run(each.arguments);
        EXPECT_EQ(run.exitCode, each.exitCode) << run.err;
        EXPECT_EQ(run.out, each.out);
    }
    const ToolRun same = Run({"diff", IndexA(), IndexA(), "--json", "--out", out.string()});
    EXPECT_EQ(same.exitCode, 0) << same.err;
    EXPECT_EQ(Json::parse(same.out)["same"], true);
    EXPECT_NE(ReadFileText(out / "index.html").find("The two games' costumes are the same."),
              std::string::npos);
}

// Comparing the demo game with itself decodes every frame of both sides, no more: about what
// two listings and two decodings take.
TEST_F(DiffTest, ComparingAGameWithItselfIsCheap) {
    MakeDemo();
    const ToolRun info = Run({"info", IndexFile(), "--json", "--hashes"});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    const ToolRun run = Run({"diff", IndexFile(), IndexFile()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_LT(run.peakMemoryKb, 2 * info.peakMemoryKb + 4096);
}

}  // namespace
