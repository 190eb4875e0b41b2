// Whole sessions of the program, driven through the headless front-end as a user would:
// start, File > Open, the six keys, File > Exit, and the picture the window shows.
#include <filesystem>
#include <optional>

#include "viewer/viewer_fixture.h"

namespace {

const Picture kPleaseOpen = StatusPicture("Please open a file.");

std::string Status(uint32_t costume, size_t frame, size_t frames) {
    return "Costume " + std::to_string(costume) + ", Frame " + std::to_string(frame) + " / " +
           std::to_string(frames);
}

// How many files under `directory` this process holds open.
int OpenFilesUnder(const std::filesystem::path& directory) {
    int count = 0;
    std::error_code error;
    const std::string prefix = std::filesystem::canonical(directory, error).string() + "/";
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
        if (!error && target.rfind(prefix, 0) == 0) ++count;
    }
    return count;
}

TEST_F(SessionTest, StartsOnABlackScreenAskingForAFile) {
    EXPECT_TRUE(SamePicture(g_headless.picture, kPleaseOpen));
    EXPECT_EQ(g_headless.repaints, (std::vector<ScreenRect>{{0, 0, 640, 480}}));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(SessionTest, TheSixKeysDoNothingBeforeAGameIsOpen) {
    for (uint32_t key : {KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN, KEY_ADD, KEY_SUBTRACT}) {
        EXPECT_TRUE(HeadlessPressKey(key)) << key;
    }
    EXPECT_TRUE(SamePicture(g_headless.picture, kPleaseOpen));
    EXPECT_EQ(g_headless.repaints.size(), 1u);
    EXPECT_TRUE(Errors().empty());
}

TEST_F(SessionTest, OtherKeysAndCommandsAreLeftToTheFrontEnd) {
    // The plus and minus of the main keyboard, letters, Enter, and keys next to the six.
    for (uint32_t key : {0xBBu, 0xBDu, 0x41u, 0x0Du, 0x24u, 0x29u, 0x6Au, 0x6Cu, 0x6Eu}) {
        EXPECT_FALSE(HeadlessPressKey(key)) << key;
    }
    for (uint32_t command : {0u, 7u, 9u, 57600u, 57602u}) {
        EXPECT_FALSE(HeadlessChooseCommand(command)) << command;
    }
    EXPECT_FALSE(ShellHandleMessage(0x0001, 0, 0));  // a message the shell does not know
    EXPECT_EQ(g_headless.dialogsShown, 0);
    EXPECT_FALSE(g_headless.windowDestroyed);
    EXPECT_TRUE(SamePicture(g_headless.picture, kPleaseOpen));
}

TEST_F(SessionTest, FileExitAndTheCloseBoxEndWithExitCodeZero) {
    TestGame game;
    game.Write(OneDiskLayout({PatternCostume(5, 2, 1)}));
    HeadlessOpen(game.IndexPath());
    // Only the low 16 bits of the command count, as with a menu accelerator.
    EXPECT_TRUE(HeadlessChooseCommand(0x10000u | CMD_EXIT));
    EXPECT_TRUE(g_headless.windowDestroyed);
    EXPECT_TRUE(g_headless.quit);
    EXPECT_EQ(HeadlessStop(), 0);
    EXPECT_EQ(g_viewer, nullptr);
    EXPECT_FALSE(g_screen.created);
    EXPECT_EQ(OpenFilesUnder(game.dir.path), 0);

    g_headless.Clear();
    ASSERT_TRUE(HeadlessStart());
    HeadlessClose();
    EXPECT_TRUE(g_headless.quit);
    EXPECT_EQ(g_headless.exitCode, 0);
}

TEST_F(SessionTest, OpeningAGameShowsFrameOneOfCostumeOne) {
    const CostumeDesign first = PatternCostume(1, 12, 3);
    TestGame game;
    game.Write(OneDiskLayout({first, PatternCostume(5, 2, 4)}));
    HeadlessOpen(game.IndexPath());
    EXPECT_TRUE(Errors().empty());
    EXPECT_EQ(g_headless.dialogsShown, 1);
    EXPECT_TRUE(SamePicture(g_headless.picture, FramePicture(first, 0, false, Status(1, 1, 12))));
    EXPECT_TRUE(SamePicture(g_headless.picture, ScreenPicture()));
}

TEST_F(SessionTest, ArrowsWalkFramesAndCostumesWithinTheirBounds) {
    // Costumes 1 to 4 in the three codecs; the directory has 5 entries.
    const std::vector<CostumeDesign> designs = {PatternCostume(5, 3, 1), PatternCostume(1, 1, 2),
                                                PatternCostume(16, 2, 3), PatternCostume(5, 2, 4)};
    TestGame game;
    game.Write(OneDiskLayout(designs));
    HeadlessOpen(game.IndexPath());

    struct Step {
        uint32_t key;
        uint32_t costume;  // what is shown afterwards
        size_t frame;      // 1-based
    };
    const Step steps[] = {
        {KEY_DOWN, 1, 1}, {KEY_LEFT, 1, 1}, {KEY_RIGHT, 1, 2}, {KEY_RIGHT, 1, 3}, {KEY_RIGHT, 1, 3},
        {KEY_LEFT, 1, 2}, {KEY_UP, 2, 1},   {KEY_RIGHT, 2, 1}, {KEY_UP, 3, 1},    {KEY_RIGHT, 3, 2},
        {KEY_UP, 4, 1},   {KEY_UP, 4, 1},   {KEY_UP, 4, 1},    {KEY_DOWN, 3, 1},  {KEY_DOWN, 2, 1},
        {KEY_DOWN, 1, 1}, {KEY_DOWN, 1, 1},
    };
    int number = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(::testing::Message() << "step " << ++number);
        EXPECT_TRUE(HeadlessPressKey(step.key));
        const CostumeDesign& design = designs[step.costume - 1];
        EXPECT_TRUE(SamePicture(g_headless.picture, FramePicture(design, step.frame - 1, false,
                                                                 Status(step.costume, step.frame,
                                                                        design.frames.size()))));
        EXPECT_EQ(Errors(), Messages{});
    }
}

TEST_F(SessionTest, ACostumeOnNoOpenDiskIsAnnouncedAndTheArrowsGoOnFromIt) {
    // Costume 2 lies in room 2 on disk 2, whose file is missing; costume 3 in room 3, which
    // is on no disk at all.
    const std::vector<CostumeDesign> designs = {PatternCostume(5, 2, 1), PatternCostume(5, 1, 2),
                                                PatternCostume(5, 1, 3), PatternCostume(5, 1, 4)};
    GameLayout layout = OneDiskLayout(designs);
    layout.roomDisks = {0, 1, 2, 0};
    layout.absentDisks = {2};
    layout.costumes[2].room = 2;
    layout.costumes[3].room = 3;
    TestGame game;
    game.Write(layout);
    HeadlessOpen(game.IndexPath());

    HeadlessPressKey(KEY_UP);
    const Picture notPresent2 = StatusPicture("Costume 2 is not present on this disk.");
    EXPECT_TRUE(SamePicture(g_headless.picture, notPresent2));
    // Keys that load no costume leave the announcement alone.
    for (uint32_t key : {KEY_LEFT, KEY_RIGHT, KEY_ADD, KEY_SUBTRACT}) HeadlessPressKey(key);
    EXPECT_TRUE(SamePicture(g_headless.picture, notPresent2));
    HeadlessPressKey(KEY_UP);
    EXPECT_TRUE(
        SamePicture(g_headless.picture, StatusPicture("Costume 3 is not present on this disk.")));
    HeadlessPressKey(KEY_UP);
    EXPECT_TRUE(
        SamePicture(g_headless.picture, FramePicture(designs[3], 0, false, Status(4, 1, 1))));
    HeadlessPressKey(KEY_DOWN);
    HeadlessPressKey(KEY_DOWN);
    EXPECT_TRUE(SamePicture(g_headless.picture, notPresent2));
    HeadlessPressKey(KEY_DOWN);
    EXPECT_TRUE(
        SamePicture(g_headless.picture, FramePicture(designs[0], 0, false, Status(1, 1, 2))));
    EXPECT_EQ(Errors(), Messages{});
}

TEST_F(SessionTest, ACostumeThatFailsToLoadKeepsThePreviousPicture) {
    // Costume 2 has no block at its position; costume 3's block holds an unknown sub-block.
    const std::vector<CostumeDesign> designs = {PatternCostume(5, 2, 1), PatternCostume(5, 1, 2),
                                                PatternCostume(5, 1, 3), PatternCostume(5, 1, 4)};
    GameLayout layout = OneDiskLayout(designs);
    layout.costumes[2].block.clear();
    layout.costumes[3].block = MakeBlock("VERM", MakeBlock("AAAA", {}));
    TestGame game;
    game.Write(layout);
    HeadlessOpen(game.IndexPath());
    HeadlessPressKey(KEY_RIGHT);
    const Picture shown = FramePicture(designs[0], 1, false, Status(1, 2, 2));
    ASSERT_TRUE(SamePicture(g_headless.picture, shown));

    HeadlessPressKey(KEY_UP);
    EXPECT_EQ(Errors(), Messages{"VERM not found."});
    EXPECT_TRUE(SamePicture(g_headless.picture, shown));
    HeadlessPressKey(KEY_RIGHT);  // nothing loaded: no frame to step to
    HeadlessPressKey(KEY_UP);
    EXPECT_EQ(Errors(), Messages{"Unknown block found in VERM."});
    EXPECT_TRUE(SamePicture(g_headless.picture, shown));
    HeadlessPressKey(KEY_UP);
    EXPECT_TRUE(
        SamePicture(g_headless.picture, FramePicture(designs[3], 0, false, Status(4, 1, 1))));
    HeadlessPressKey(KEY_DOWN);
    EXPECT_EQ(Errors(), Messages{"Unknown block found in VERM."});
    HeadlessPressKey(KEY_DOWN);
    HeadlessPressKey(KEY_DOWN);
    EXPECT_EQ(Errors(), Messages{"VERM not found."});
    EXPECT_TRUE(
        SamePicture(g_headless.picture, FramePicture(designs[0], 0, false, Status(1, 1, 2))));
}

TEST_F(SessionTest, ACostumeWithoutFramesAsTheFirstOneDrawsNothing) {
    const std::vector<CostumeDesign> designs = {PatternCostume(5, 0, 1), PatternCostume(5, 1, 2)};
    TestGame game;
    game.Write(OneDiskLayout(designs));
    HeadlessOpen(game.IndexPath());
    EXPECT_EQ(Errors(), Messages{"Frame out of range."});
    EXPECT_TRUE(SamePicture(g_headless.picture, kPleaseOpen));
    HeadlessPressKey(KEY_RIGHT);
    EXPECT_EQ(Errors(), Messages{});
    EXPECT_TRUE(SamePicture(g_headless.picture, kPleaseOpen));
    HeadlessPressKey(KEY_UP);
    EXPECT_TRUE(
        SamePicture(g_headless.picture, FramePicture(designs[1], 0, false, Status(2, 1, 1))));
}

TEST_F(SessionTest, ACostumeWithoutFramesReachedFromAShownOneFailsToDraw) {
    const std::vector<CostumeDesign> designs = {PatternCostume(5, 1, 1), PatternCostume(5, 0, 2)};
    TestGame game;
    game.Write(OneDiskLayout(designs));
    HeadlessOpen(game.IndexPath());
    HeadlessPressKey(KEY_UP);
    EXPECT_EQ(Errors(), Messages{"Frame out of range."});
    const Picture failed = StatusPicture("Failed to draw frame.");
    EXPECT_TRUE(SamePicture(g_headless.picture, failed));
    // Every later draw tries again and fails the same way, without a message.
    HeadlessPressKey(KEY_RIGHT);
    HeadlessPressKey(KEY_ADD);
    EXPECT_EQ(Errors(), Messages{});
    EXPECT_TRUE(SamePicture(g_headless.picture, failed));
}

TEST_F(SessionTest, ZoomHoldsAcrossCostumesAndANewGameStartsUnzoomed) {
    const std::vector<CostumeDesign> designs = {PatternCostume(5, 2, 1), PatternCostume(16, 2, 2)};
    TestGame first;
    first.Write(OneDiskLayout(designs));
    HeadlessOpen(first.IndexPath());
    HeadlessPressKey(KEY_ADD);
    EXPECT_TRUE(
        SamePicture(g_headless.picture, FramePicture(designs[0], 0, true, Status(1, 1, 2))));
    HeadlessPressKey(KEY_ADD);
    EXPECT_TRUE(
        SamePicture(g_headless.picture, FramePicture(designs[0], 0, true, Status(1, 1, 2))));
    HeadlessPressKey(KEY_UP);
    HeadlessPressKey(KEY_RIGHT);
    EXPECT_TRUE(
        SamePicture(g_headless.picture, FramePicture(designs[1], 1, true, Status(2, 2, 2))));
    HeadlessPressKey(KEY_SUBTRACT);
    EXPECT_TRUE(
        SamePicture(g_headless.picture, FramePicture(designs[1], 1, false, Status(2, 2, 2))));
    HeadlessPressKey(KEY_ADD);

    const std::vector<CostumeDesign> others = {PatternCostume(1, 1, 7)};
    TestGame second;
    second.Write(OneDiskLayout(others));
    HeadlessOpen(second.IndexPath());
    EXPECT_TRUE(
        SamePicture(g_headless.picture, FramePicture(others[0], 0, false, Status(1, 1, 1))));
    EXPECT_EQ(Errors(), Messages{});
}

TEST_F(SessionTest, OpeningAnotherGameClosesTheFirstOnesFiles) {
    if (!std::filesystem::exists("/proc/self/fd")) GTEST_SKIP() << "no /proc/self/fd";
    GameLayout layout = OneDiskLayout({PatternCostume(5, 1, 1)});
    layout.roomDisks = {0, 1, 2};
    TestGame first;
    first.Write(layout);
    TestGame second;
    second.Write(layout);

    HeadlessOpen(first.IndexPath());
    EXPECT_EQ(OpenFilesUnder(first.dir.path), 3);  // index and two disks
    HeadlessOpen(second.IndexPath());
    EXPECT_EQ(OpenFilesUnder(first.dir.path), 0);
    EXPECT_EQ(OpenFilesUnder(second.dir.path), 3);
    EXPECT_EQ(Errors(), Messages{});
}

TEST_F(SessionTest, AFailedOpenShowsOneMessageAndAsksForAFileAgain) {
    const std::vector<CostumeDesign> designs = {PatternCostume(5, 1, 1)};
    TestGame game;
    game.Write(OneDiskLayout(designs));
    TempDir empty;
    HeadlessOpen(game.IndexPath());

    HeadlessOpen((empty.path / "GAME.LA0").string());
    EXPECT_EQ(Errors(), Messages{"No SCUMM disks found."});
    EXPECT_TRUE(SamePicture(g_headless.picture, kPleaseOpen));
    EXPECT_EQ(g_viewer, nullptr);
    EXPECT_EQ(OpenFilesUnder(game.dir.path), 0);
    // No game is open again: the keys do nothing.
    HeadlessPressKey(KEY_UP);
    EXPECT_TRUE(SamePicture(g_headless.picture, kPleaseOpen));

    // Another kind of index name opens the same game by its base name.
    HeadlessOpen((game.dir.path / "GAME.HE0").string());
    EXPECT_TRUE(
        SamePicture(g_headless.picture, FramePicture(designs[0], 0, false, Status(1, 1, 1))));
    EXPECT_EQ(Errors(), Messages{});
}

TEST_F(SessionTest, CancellingTheDialogKeepsTheGame) {
    const std::vector<CostumeDesign> designs = {PatternCostume(5, 2, 1)};
    TestGame game;
    game.Write(OneDiskLayout(designs));
    HeadlessOpen(game.IndexPath());
    HeadlessPressKey(KEY_RIGHT);
    const Picture shown = g_headless.picture;
    const CostumeViewer* viewer = g_viewer.get();
    const size_t repaints = g_headless.repaints.size();

    g_headless.answers.push_back(std::nullopt);
    EXPECT_TRUE(HeadlessChooseCommand(CMD_OPEN));
    EXPECT_TRUE(HeadlessChooseCommand(CMD_OPEN));  // nothing queued: cancelled too
    EXPECT_EQ(g_headless.dialogsShown, 3);
    EXPECT_EQ(g_viewer.get(), viewer);
    EXPECT_EQ(g_headless.repaints.size(), repaints);
    EXPECT_EQ(Errors(), Messages{});
    HeadlessPressKey(KEY_LEFT);
    EXPECT_TRUE(
        SamePicture(g_headless.picture, FramePicture(designs[0], 0, false, Status(1, 1, 2))));
    EXPECT_NE(shown, g_headless.picture);
}

struct SplitCase {
    const char* path;
    size_t fileOffset;
    size_t extensionOffset;
    const char* directory;
    const char* baseName;
};

const SplitCase kSplitCases[] = {
    {"C:\\G\\MI.LA0", 5, 8, "C:\\G\\", "MI"},
    {"C:\\GAMES\\DIG\\DIG.LA0", 13, 17, "C:\\GAMES\\DIG\\", "DIG"},
    {"/games/A.B.LA0", 7, 11, "/games/", "A.B"},
    {"/games/GAME", 7, 0, "/games/", "GAME"},           // no extension: the whole name
    {"/games/GAME.", 7, 12, "/games/", "GAME"},         // an empty extension
    {"GAME.LA0", 0, 5, "", "GAME"},                     // no directory
    {"/games/GAME.LA0", 7, 99, "/games/", "GAME.LA0"},  // offsets outside the title
    {"/games/GAME.LA0", 7, 3, "/games/", "GAME.LA0"},
    {"/games/GAME.LA0", 7, 7, "/games/", "GAME.LA0"},
    {"/games/", 99, 0, "/games/", ""},
};

TEST(SplitChosenFile, CutsTheDirectoryAfterItsSeparatorAndTheNameAtItsExtension) {
    for (const SplitCase& test : kSplitCases) {
        SCOPED_TRACE(test.path);
        std::string directory = "old";
        std::string baseName = "old";
        SplitChosenFile(ChosenFile{test.path, test.fileOffset, test.extensionOffset}, &directory,
                        &baseName);
        EXPECT_EQ(directory, test.directory);
        EXPECT_EQ(baseName, test.baseName);
    }
}

TEST(SplitChosenFile, HasNoLengthLimit) {
    const std::string directory = "/" + std::string(5000, 'd') + "/";
    const std::string name(3000, 'n');
    const std::string path = directory + name + ".LA0";
    std::string gotDirectory, gotBaseName;
    SplitChosenFile(HeadlessChosenFile(path), &gotDirectory, &gotBaseName);
    EXPECT_EQ(gotDirectory, directory);
    EXPECT_EQ(gotBaseName, name);
}

TEST(IsIndexFileName, TakesTheThreeExtensionsInAnyLetterCase) {
    const struct {
        const char* name;
        bool index;
    } cases[] = {
        {"DEMO.LA0", true},  {"demo.la0", true},   {"Demo.lA0", true},      {"GAME.HE0", true},
        {"game.he0", true},  {"GAME.000", true},   {"A.B.LA0", true},       {".LA0", true},
        {"DEMO.LA1", false}, {"DEMO.HE1", false},  {"DEMO.001", false},     {"LA0", false},
        {"DEMO.LAO", false}, {"DEMO.XLA0", false}, {"DEMO.LA0.bak", false}, {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsIndexFileName(c.name), c.index) << c.name;
}

// A paint asks for window coordinates; what reaches the shell lies inside the screen and
// points at its own first pixel.
TEST(PaintRequestFor, CutsTheAreaToTheScreenAndPointsAtItsCorner) {
    const struct {
        ScreenRect area;
        size_t stride;
        ScreenRect rect;
    } cases[] = {
        {{0, 0, 640, 480}, 640, {0, 0, 640, 480}},
        {{-5, -7, 10, 12}, 640, {0, 0, 10, 12}},
        {{600, 470, 700, 500}, 640, {600, 470, 640, 480}},
        {{10, 20, 30, 40}, 704, {10, 20, 30, 40}},  // a picture with padded rows
        {{640, 0, 700, 10}, 640, {}},
        {{-50, 0, 0, 480}, 640, {}},
        {{5, 5, 5, 9}, 640, {}},
    };
    std::vector<uint32_t> picture(704 * 480);
    for (const auto& c : cases) {
        const PaintRequest request = PaintRequestFor(c.area, picture.data(), c.stride);
        if (c.rect.Empty()) {
            EXPECT_TRUE(request.rect.Empty());
            EXPECT_EQ(request.pixels, nullptr);
            continue;
        }
        EXPECT_EQ(request.rect, c.rect);
        EXPECT_EQ(request.pixels,
                  picture.data() + size_t(c.rect.top) * c.stride + size_t(c.rect.left));
        EXPECT_EQ(request.stride, c.stride);
    }
}

TEST(HeadlessChosenFile, ReportsOffsetsAsAnOpenDialogDoes) {
    const ChosenFile windows = HeadlessChosenFile("C:\\G\\MI.LA0");
    EXPECT_EQ(windows.fileOffset, 5u);
    EXPECT_EQ(windows.extensionOffset, 8u);
    const ChosenFile dottedDirectory = HeadlessChosenFile("/a.b/GAME");
    EXPECT_EQ(dottedDirectory.fileOffset, 5u);
    EXPECT_EQ(dottedDirectory.extensionOffset, 0u);
}

}  // namespace
