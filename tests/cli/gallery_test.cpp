// The gallery as a user runs it over a game with every kind of costume: its files are the
// ones export writes, its page links only to them, and the game's own texts cannot change
// the page's markup.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "cli/cli_fixture.h"

namespace {

using GalleryTest = CliTest;

// A name a file may have that is also markup.
const std::string kMarkupName = "<i>&\"'";

// One costume of each outcome: loaded; not present; not a VERM block; a frame without pixels
// and one whose size record lies outside its block; a room past the room directory; more
// frames than a card lists.
void WriteGalleryGame(const fs::path& directory) {
    CostumeDesign many = Rectangles(1, 16, {});
    many.frames.assign(260, CostumeFrame{1, 1, {1}});

    GameLayout layout;
    layout.roomDisks = {0, 1, 2};
    layout.absentDisks = {2};
    layout.costumes = {
        {},
        {1, BuildCostumeBlock(Rectangles(5, 4, {{3, 2}, {1, 4}}))},
        {2, BuildCostumeBlock(Rectangles(1, 16, {{2, 2}}))},
        {1, std::vector<uint8_t>(64, 'X')},
        {1,
         WithForgedSizeRecord(BuildCostumeBlock(Rectangles(1, 32, {{0, 3}, {2, 2}, {2, 2}})), 3)},
        {9, BuildCostumeBlock(Rectangles(16, 16, {{2, 2}}))},
        {1, BuildCostumeBlock(many)},
    };
    std::string error;
    ASSERT_TRUE(WriteGame(directory, kMarkupName, layout, &error)) << error;
}

// Each costume's card, from its opening tag to the next card's.
std::map<std::string, std::string> Cards(const std::string& page) {
    std::map<std::string, std::string> cards;
    const std::regex start("<article id=\"(costume-[0-9]+)\"");
    for (auto match = std::sregex_iterator(page.begin(), page.end(), start);
         match != std::sregex_iterator(); ++match) {
        const size_t end = page.find("</article>", static_cast<size_t>(match->position()));
        cards[(*match)[1]] = page.substr(static_cast<size_t>(match->position()),
                                         end - static_cast<size_t>(match->position()));
    }
    return cards;
}

TEST_F(GalleryTest, ShowsEveryCostumeWithExportsOwnFilesAndItsMessages) {
    WriteGalleryGame(game);
    const std::string index = (game / (kMarkupName + ".LA0")).string();
    // What export writes with the same choices, for the gallery's files to match.
    for (const char* palette : {"gpl", "pal", "act"}) {
        Run({"export", index, "--out", out.string(), "--scale", "2", "--format", "gif", "--sheet",
             "--layout", "grid", "--palette", palette});
    }
    std::map<std::string, std::string> exported;
    for (const std::string& name : Written()) exported[name] = ReadFileText(out / name);
    fs::remove_all(out);

    const ToolRun run = Run({"gallery", index, "--out", out.string(), "--scale", "2"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Said(run),
              "Note: " + std::string(kMarkupName) + ".LA2 is missing, so costume 2 is not present.\n"
              "Error: VERM not found. [costume 3]\n"
              "Note: Costume 4, frame 1 has no pixels. Skipped.\n"
              "Error: Invalid frame. [costume 4, frame 3]\n"
              "Error: Invalid room. [costume 5]\n");

    // Export's files, byte for byte, and the page.
    std::set<std::string> expected = {"index.html"};
    for (const auto& [name, bytes] : exported) {
        EXPECT_EQ(ReadFileText(out / name), bytes) << name;
        expected.insert(name);
    }
    EXPECT_EQ(Written(), expected);

    const std::string page = ReadFileText(out / "index.html");
    // Every picture and link is a file written beside the page, or a card of the page's own
    // contents; nothing else is fetched.
    const std::regex reference("(src|href)=\"([^\"]*)\"");
    size_t references = 0;
    std::vector<std::string> contents;
    for (auto match = std::sregex_iterator(page.begin(), page.end(), reference);
         match != std::sregex_iterator(); ++match) {
        const std::string target = (*match)[2];
        if (target.rfind('#', 0) == 0) {
            contents.push_back(target);
            EXPECT_NE(page.find("<article id=\"" + target.substr(1) + "\""), std::string::npos);
            continue;
        }
        ++references;
        EXPECT_TRUE(expected.count(target) == 1 && target != "index.html") << target;
    }
    EXPECT_EQ(references, 3 * 6u);  // costumes 1, 4 and 6: a GIF and five links each
    EXPECT_EQ(contents, (std::vector<std::string>{"#costume-1", "#costume-2", "#costume-3",
                                                  "#costume-4", "#costume-5", "#costume-6"}));

    EXPECT_NE(page.find("<title>Costumes of &lt;i&gt;&amp;&quot;&#39;</title>"), std::string::npos);
    EXPECT_EQ(page.find(kMarkupName), std::string::npos);

    // What each card says besides its pictures.
    const std::map<std::string, std::string> cards = Cards(page);
    ASSERT_EQ(cards.size(), 6u);
    const std::pair<const char*, std::vector<std::string>> said[] = {
        {"costume-1",
         {"data-status=\"loaded\"", "<dt>Disk</dt><dd>1</dd>", "<dt>Codec</dt><dd>5</dd>",
          "<dt>Colours</dt><dd>4</dd>", "<dt>Frames</dt><dd>2 frames: 3&times;2 (1), 1&times;4 (1)</dd>",
          "<span style=\"background:#5a5a5a\" title=\"3: #5a5a5a\"></span></div>"}},
        {"costume-2",
         {"data-status=\"not-present\"", "<dt>Disk</dt><dd>2</dd>",
          "<p class=\"message\">Costume 2 is not present on this disk.</p>"}},
        {"costume-3", {"data-status=\"failed\"", "<p class=\"message\">VERM not found.</p>"}},
        {"costume-4",
         {"<dd>3 frames: 0&times;3 (1), 2&times;2 (1), [Invalid frame.]</dd>",
          "<li>Note: Costume 4, frame 1 has no pixels. Skipped.</li>"
          "<li>Error: Invalid frame. [costume 4, frame 3]</li>"}},
        {"costume-5",
         {"<dt>Room</dt><dd>9</dd><dt>Disk</dt><dd>none</dd>",
          "<p class=\"message\">Invalid room.</p>"}},
        {"costume-6", {"<dt>Frames</dt><dd>260 frames: 1&times;1 (256), and 4 more</dd>"}},
    };
    for (const auto& [card, texts] : said) {
        for (const std::string& text : texts) {
            EXPECT_NE(cards.at(card).find(text), std::string::npos) << card << ": " << text;
        }
    }
}

// A costume whose frames would take too long to decode: the page says why it has no
// pictures, and its palettes are still there.
TEST_F(GalleryTest, ShowsACostumeRefusedForItsDecodingWork) {
    fs::copy(fs::path(DUZURORO_REGRESSIONS) / "decode-work", game);
    const ToolRun run = Run({"gallery", (game / "G.LA0").string(), "--out", out.string()});
    const std::string refusal =
        "Note: Costume 1 has more than 67108864 pixels of frames to decode, more than any real "
        "costume: not exported.";
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Said(run), refusal + "\n");
    EXPECT_EQ(Written(), (std::set<std::string>{"index.html", "costume-0001.gpl",
                                                "costume-0001.pal", "costume-0001.act"}));
    const std::string page = ReadFileText(out / "index.html");
    EXPECT_NE(page.find("<li>" + refusal + "</li>"), std::string::npos);
    EXPECT_EQ(page.find("<img"), std::string::npos);
}

}  // namespace
