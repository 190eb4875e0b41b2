// The one record that holds a costume read from a game: what it holds after each outcome,
// and that a new load or a release leaves nothing of the previous costume behind.
#include <gtest/gtest.h>

#include "costume/loaded_costume.h"
#include "viewer/viewer_fixture.h"

namespace {

struct LoadCase {
    const char* behaviour;
    uint32_t costume;
    CostumeLoadResult result;
    bool holdsCostume;
    bool holdsBlock;
    Messages errors;
};

TEST(LoadedCostume, HoldsTheParsedCostumeOnlyWhenBothTheReadAndTheParseSucceed) {
    // Costume 1 is whole; 2 lies on a disk whose file is missing; 3 is a VERM block with a
    // sub-block nobody knows; 4 is no VERM block at all.
    GameLayout layout = OneDiskLayout({PatternCostume(16, 3, 1), PatternCostume(1, 1, 2)});
    layout.roomDisks = {0, 1, 2};
    layout.absentDisks = {2};
    layout.costumes[2].room = 2;
    layout.costumes.push_back(GameCostume{1, MakeBlock("VERM", MakeBlock("AAAA", {}))});
    layout.costumes.push_back(GameCostume{1, MakeBlock("JUNK", {})});
    TestGame game;
    game.Write(layout);
    const std::string directory = game.dir.WithSeparator();
    GameArchive archive(directory, game.baseName);
    g_headless.Clear();
    ASSERT_TRUE(archive.Open());

    const LoadCase cases[] = {
        {"a whole costume is parsed over its block", 1, CostumeLoadResult::Loaded, true, true, {}},
        {"a costume on no open disk holds nothing and says nothing",
         2,
         CostumeLoadResult::NotPresent,
         false,
         false,
         {}},
        {"a block that does not parse keeps the block, not the costume",
         3,
         CostumeLoadResult::Failed,
         false,
         true,
         {"Unknown block found in VERM."}},
        {"a position without a VERM block holds nothing",
         4,
         CostumeLoadResult::Failed,
         false,
         false,
         {"VERM not found."}},
    };
    // One record loaded again and again: each load starts from nothing.
    LoadedCostume loaded;
    for (const LoadCase& test : cases) {
        SCOPED_TRACE(test.behaviour);
        EXPECT_EQ(loaded.Load(archive, test.costume), test.result);
        EXPECT_EQ(loaded.Loaded(), test.holdsCostume);
        EXPECT_EQ(!loaded.block.empty(), test.holdsBlock);
        EXPECT_EQ(g_headless.TakeErrors(), test.errors);
        if (test.holdsCostume) {
            EXPECT_EQ(loaded.costume->FrameCount(), 3);
            EXPECT_EQ(loaded.costume->block.data, loaded.block.data());
        }
    }

    ASSERT_EQ(loaded.Load(archive, 1), CostumeLoadResult::Loaded);
    loaded.Release();
    loaded.Release();  // twice: nothing more to release
    EXPECT_FALSE(loaded.Loaded());
    EXPECT_TRUE(loaded.block.empty());
}

}  // namespace
