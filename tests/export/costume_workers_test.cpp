// The workers of export and gallery, called as the jobs call them: what several say, and in
// which order, against what one says.
#include "export/costume_workers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <sstream>

#include "authoring/costume_builder.h"
#include "authoring/game_writer.h"
#include "demo/demo_game.h"
#include "export/export_job.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

struct Heard {
    std::vector<std::string> lines;  // messages and progress lines, as they came
    ExportReport report;

    Heard() {
        report.onMessage = [this](const ExportMessage& message) { lines.push_back(message.Line()); };
        report.onProgress = [this](const std::string& line) { lines.push_back("> " + line); };
    }
};

std::map<std::string, std::string> Contents(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream file(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        files[entry.path().filename().string()] = bytes.str();
    }
    return files;
}

// Each costume says more than a worker may hold before its turn to be shown (12,000 frames
// without pixels, each noted), then writes two frames: the later costumes' workers wait
// with what they said, and everything still comes in order.
TEST(CostumeWorkers, CostumesThatSayMuchAreShownInOrderAsOneWorkerShowsThem) {
    TempDir temp;
    CostumeDesign design;
    design.codec = 1;
    design.colours.assign(16 * 3, 70);
    design.frames.assign(12000, CostumeFrame{0, 3, {}});
    design.frames.push_back(CostumeFrame{3, 2, std::vector<uint8_t>(6, 1)});
    design.frames.push_back(CostumeFrame{2, 5, std::vector<uint8_t>(10, 2)});
    GameLayout layout;
    layout.roomDisks = {0, 1};
    layout.costumes.resize(7, GameCostume{1, BuildCostumeBlock(design)});
    std::string error;
    ASSERT_TRUE(WriteGame(temp.path / "game", "G", layout, &error)) << error;

    std::vector<std::string> said[2];
    std::map<std::string, std::string> written[2];
    const uint32_t jobs[2] = {1, 4};
    for (int run = 0; run < 2; ++run) {
        Heard heard;
        ExportOptions options;
        options.indexFile = (temp.path / "game" / "G.LA0").string();
        options.outDirectory = (temp.path / ("out-" + std::to_string(run))).string();
        options.jobs = jobs[run];
        EXPECT_TRUE(ExportCostumes(options, heard.report));
        said[run] = std::move(heard.lines);
        written[run] = Contents(options.outDirectory);
    }
    ASSERT_EQ(said[0].size(), 6u * (12000 + 2));
    EXPECT_EQ(said[0][12000], "> Exporting costume 1 (1 of 6), frame 12001 of 12002");
    EXPECT_EQ(said[0].back(), "> Exporting costume 6 (6 of 6), frame 12002 of 12002");
    EXPECT_TRUE(said[1] == said[0]);
    EXPECT_EQ(written[0].size(), 6u * 2);
    EXPECT_TRUE(written[1] == written[0]);
}

// A failure thrown while a costume is worked comes out of the call once the costumes before
// it are shown, about that costume, as it would with one worker.
TEST(CostumeWorkers, AFailureThrownByAWorkerIsThrownAfterTheCostumesBeforeIt) {
    TempDir temp;
    std::string error;
    ASSERT_TRUE(WriteDemoGame(temp.path / "game", &error)) << error;
    for (const uint32_t jobs : {1u, 4u}) {
        SCOPED_TRACE(jobs);
        Heard heard;
        ExportGame game;
        ASSERT_TRUE(game.Open((temp.path / "game" / "DEMO.LA0").string(), heard.report));
        ExportOptions options;
        CostumeJob job{options, game, heard.report};
        std::vector<std::string> pages;
        const std::vector<uint32_t> numbers = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        const auto work = [](CostumeJob& each, ExportCostume& costume, std::string* page) {
            each.report.Note("At " + std::to_string(costume.number) + ".");
            if (costume.number == 6) throw std::bad_alloc();
            *page = std::to_string(costume.number);
        };
        EXPECT_THROW(WorkCostumes(job, numbers, jobs, work,
                                  [&](const std::string& page) { pages.push_back(page); }),
                     std::bad_alloc);
        EXPECT_EQ(heard.report.subject, "costume 6");
        EXPECT_EQ(heard.lines, (std::vector<std::string>{"Note: At 1.", "Note: At 2.",
                                                         "Note: At 3.", "Note: At 4.",
                                                         "Note: At 5.", "Note: At 6."}));
        EXPECT_EQ(pages, (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    }
}

}  // namespace
