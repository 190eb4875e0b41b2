// The jobs as another program calls them: what each says, about what, and what it writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>

#include "demo/demo_game.h"
#include "export/export_job.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

struct ExportJobTest : testing::Test {
    TempDir temp;
    std::string index = (temp.path / "game" / "DEMO.LA0").string();
    std::string out = (temp.path / "out").string();
    std::vector<std::string> lines;
    ExportReport report;

    void SetUp() override {
        std::string error;
        ASSERT_TRUE(WriteDemoGame(temp.path / "game", &error)) << error;
        report.onMessage = [this](const ExportMessage& message) { lines.push_back(message.Line()); };
    }

    std::set<std::string> Written() const {
        std::set<std::string> names;
        if (!fs::exists(out)) return names;
        for (const auto& entry : fs::directory_iterator(out)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
};

Selection Of(const std::string& text) {
    Selection selection;
    std::string error;
    selection.Add(text, 1, UINT32_MAX, &error);
    return selection;
}

// The demo's costume 15 lies on a disk that is not written.
const std::string kMissingDisk = "Note: DEMO.LA3 is missing, so costume 15 is not present.";

TEST_F(ExportJobTest, SaysEachMessageAboutItsCostumeOrFrameAndWritesTheRest) {
    struct Case {
        const char* name;
        std::string costumes, frames;
        bool paletteOnly;
        bool done;
        std::vector<std::string> lines;
        size_t written;
    };
    const Case cases[] = {
        {"a costume not present, asked for by number", "15", "", true, false,
         {kMissingDisk, "Error: Costume 15 is not present on this disk. [costume 15]"}, 0},
        {"among every costume only its disk is noted", "", "", true, true, {kMissingDisk}, 14},
        {"a missing disk is noted only for the costumes asked", "2", "", true, true, {}, 1},
        {"a frame past the end of the one costume", "3", "9-12", false, false,
         {"Error: Frame out of range. [costume 3, frame 11]"}, 1 + 2},
        {"past the game's last costume", "14-99", "", true, false,
         {kMissingDisk, "Error: Costume 15 is not present on this disk. [costume 15]",
          "Error: costume 16 is out of range: this game's costumes are 1 to 15"},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(out);
        lines.clear();
        report = ExportReport();
        report.onMessage = [this](const ExportMessage& message) { lines.push_back(message.Line()); };
        ExportOptions options;
        options.indexFile = index;
        options.outDirectory = out;
        if (!c.costumes.empty()) options.costumes = Of(c.costumes);
        if (!c.frames.empty()) options.frames = Of(c.frames);
        options.palettes = {PaletteFormat::Act};
        options.paletteOnly = c.paletteOnly;
        EXPECT_EQ(ExportCostumes(options, report), c.done);
        EXPECT_EQ(report.failed, !c.done);
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(Written().size(), c.written);
    }
}

TEST_F(ExportJobTest, InfoIsHandedToTheCallerAndSaysWhyAGameCannotBeRead) {
    std::string text;
    InfoOptions options{index, true};
    EXPECT_TRUE(DescribeGame(options, [&](std::string_view part) { text += part; }, report));
    const nlohmann::json document = nlohmann::json::parse(text);
    EXPECT_EQ(document["baseName"], "DEMO");
    EXPECT_EQ(document["costumes"].size(), document["listedCostumeCount"].get<size_t>());
    EXPECT_EQ(document["costumes"][14]["status"], "not-present");
    EXPECT_EQ(document["missingDisks"],
              nlohmann::json::parse(R"([{"slot": 3, "file": "DEMO.LA3", "costumes": [15]}])"));
    EXPECT_EQ(lines, std::vector<std::string>{kMissingDisk});
    lines.clear();

    text.clear();
    options.indexFile = out + "/NONE.LA0";
    EXPECT_FALSE(DescribeGame(options, [&](std::string_view part) { text += part; }, report));
    EXPECT_EQ(text, "");
    EXPECT_EQ(lines, (std::vector<std::string>{"Error: No SCUMM disks found. [" + out +
                                               "/NONE.LA0: No such file or directory]"}));
}

}  // namespace
