// Whole sessions over games whose index or disk files anyone may have forged: bytes changed,
// files cut short, block sizes and counts set to the values that break careless arithmetic.
// Nothing is expected of such a game but that the program survives it: every step ends,
// says at most one thing, and a failed open says one thing and leaves the prompt to open a
// file. The sanitizer build turns any read or write outside a buffer into a failure here.
#include <cstring>
#include <iterator>
#include <random>

#include "viewer/viewer_fixture.h"

namespace {

constexpr const char* kKnownTags[] = {"MAXS", "DROO", "DCOS", "LECF", "LOFF",
                                      "ROOM", "VERM", "VEHD", "VEPL", "RGBS",
                                      "VESQ", "VECH", "VEOF", "VECI", "VECD"};
// The blocks that open with counts or sizes of their own.
constexpr const char* kCountedTags[] = {"DROO", "DCOS", "LOFF", "VEHD", "VECI"};

// Costumes 1 to 4 in the three codecs over two disks, and one in a room on no disk.
GameFiles ValidGame() {
    GameLayout layout;
    layout.roomDisks = {0, 1, 2, 0};
    layout.costumes.push_back(GameCostume{1, {}});
    const uint8_t rooms[] = {1, 2, 1, 3};
    const uint16_t codecs[] = {1, 5, 16, 1};
    for (int c = 0; c < 4; ++c) {
        const CostumeDesign design = PatternCostume(codecs[c], 3, static_cast<uint32_t>(c));
        layout.costumes.push_back(GameCostume{rooms[c], BuildCostumeBlock(design)});
    }
    GameFiles files;
    std::string error;
    EXPECT_TRUE(MakeGameFiles(layout, &files, &error)) << error;
    return files;
}

// Where each block header of a file with one of `tags` begins, at any depth.
template <size_t N>
std::vector<size_t> TagPositions(const std::vector<uint8_t>& file, const char* const (&tags)[N]) {
    std::vector<size_t> positions;
    for (size_t at = 0; at + 8 <= file.size(); ++at) {
        for (const char* tag : tags) {
            if (std::memcmp(file.data() + at, tag, 4) == 0) positions.push_back(at);
        }
    }
    return positions;
}

void PutU32(std::vector<uint8_t>& file, size_t at, uint32_t value, bool bigEndian) {
    for (size_t i = 0; i < 4 && at + i < file.size(); ++i) {
        file[at + i] = static_cast<uint8_t>(value >> (bigEndian ? 8 * (3 - i) : 8 * i));
    }
}

// One forgery of `file`, chosen by `random` (whose sequence the standard fixes, so that a
// seed forges the same bytes everywhere).
void Forge(std::vector<uint8_t>& file, std::mt19937& random) {
    if (file.empty()) return;
    const std::vector<size_t> tags = TagPositions(file, kKnownTags);
    const std::vector<size_t> counted = TagPositions(file, kCountedTags);
    const size_t tag = tags.empty() ? 0 : tags[random() % tags.size()];
    const size_t count = counted.empty() ? 0 : counted[random() % counted.size()];
    const uint32_t length = static_cast<uint32_t>(file.size());
    const uint32_t any = static_cast<uint32_t>(random());
    const uint32_t nasty[] = {0,          7,          8,          9,      0x7FFFFFFF,
                              0x80000000, 0xFFFFFFF8, 0xFFFFFFFF, length, any};
    const uint32_t value = nasty[random() % std::size(nasty)];
    switch (random() % 6) {
        case 0:  // a few bytes changed anywhere
            for (uint32_t n = 1 + random() % 4; n > 0; --n) {
                const size_t at = random() % file.size();
                file[at] ^= static_cast<uint8_t>(1 + random() % 255);
            }
            break;
        case 1:  // cut anywhere
            file.resize(random() % file.size());
            break;
        case 2: {  // cut at, inside or just after a block header
            const size_t lengths[] = {0, 1, 4, 7, 8, 9, 12, 13};
            file.resize(std::min(file.size(), tag + lengths[random() % std::size(lengths)]));
            break;
        }
        case 3:  // a block's size
            PutU32(file, tag + 4, value, true);
            break;
        case 4:  // a count or size inside a directory, room list or costume
            if (counted.empty()) {
                break;
            } else if (std::memcmp(file.data() + count, "VEHD", 4) == 0) {
                file[std::min(count + 15, file.size() - 1)] = static_cast<uint8_t>(value | 0x80);
            } else if (std::memcmp(file.data() + count, "VECI", 4) == 0) {
                // A frame's width or height: none, or as large as 16 bits go.
                const size_t at = std::min(count + 8 + 2 * (random() % 6), file.size() - 2);
                file[at] = file[at + 1] = value & 1 ? 0xFF : 0;
            } else if (std::memcmp(file.data() + count, "LOFF", 4) == 0) {
                file[std::min(count + 8, file.size() - 1)] = static_cast<uint8_t>(value | 0x80);
            } else {
                PutU32(file, count + 8, value, false);
            }
            break;
        default: {  // any 32-bit number: an offset, a count, a size
            const size_t at = random() % file.size();
            PutU32(file, at, value, random() % 2 == 0);
        }
    }
}

struct Step {
    const char* what;
    uint32_t key;
};

// Every costume and frame of the valid game and a little past them, zoomed and not.
std::vector<Step> Walk() {
    std::vector<Step> steps;
    for (int costume = 0; costume < 5; ++costume) {
        for (int i = 0; i < 3; ++i) steps.push_back({"right", KEY_RIGHT});
        steps.push_back({"plus", KEY_ADD});
        for (int i = 0; i < 3; ++i) steps.push_back({"left", KEY_LEFT});
        steps.push_back({"minus", KEY_SUBTRACT});
        steps.push_back({"up", KEY_UP});
    }
    for (int i = 0; i < 5; ++i) steps.push_back({"down", KEY_DOWN});
    return steps;
}

// The files of `files` that the valid game has, even those a forgery left empty: an empty
// disk is not an absent one.
void WriteFiles(const TempDir& dir, const GameFiles& files, const GameFiles& valid) {
    std::string error;
    ASSERT_TRUE(WriteBytes(dir.path / GameFileName("GAME", 0), files.index, &error)) << error;
    for (int disk = 1; disk < 10; ++disk) {
        if (valid.disks[disk].empty()) continue;
        ASSERT_TRUE(WriteBytes(dir.path / GameFileName("GAME", disk), files.disks[disk], &error))
            << error;
    }
}

TEST(ForgedGame, EverySessionEndsAndEachFailureSaysOneThing) {
    constexpr int kCases = 120;  // some fifteen seconds in the sanitizer build
    const Picture pleaseOpen = StatusPicture("Please open a file.");
    const GameFiles valid = ValidGame();
    TempDir validDir;
    WriteFiles(validDir, valid, valid);
    const std::vector<Step> walk = Walk();
    TempDir dir;
    int opened = 0;
    for (int seed = 0; seed < kCases; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(static_cast<uint32_t>(seed));
        GameFiles forged = valid;
        const int slot = static_cast<int>(random() % 3);  // the index, disk 1 or disk 2
        for (int n = 1 + (random() % 4 == 0); n > 0; --n) {
            Forge(slot == 0 ? forged.index : forged.disks[slot], random);
        }
        WriteFiles(dir, forged, valid);

        g_headless.Clear();
        ASSERT_TRUE(HeadlessStart());
        // Every other session replaces a game that was being shown, zoomed.
        if (seed % 2 == 1) {
            HeadlessOpen((validDir.path / "GAME.LA0").string());
            HeadlessPressKey(KEY_ADD);
        }
        ASSERT_TRUE(g_headless.TakeErrors().empty());
        HeadlessOpen((dir.path / "GAME.LA0").string());
        const Messages said = g_headless.TakeErrors();
        if (g_viewer == nullptr) {
            ASSERT_EQ(said.size(), 1u);
            ASSERT_TRUE(SamePicture(g_headless.picture, pleaseOpen)) << said[0];
        } else {
            ++opened;
            ASSERT_LE(said.size(), 1u) << said[0] << " then " << said[1];
        }
        for (const Step& step : walk) {
            HeadlessPressKey(step.key);
            const Messages after = g_headless.TakeErrors();
            ASSERT_LE(after.size(), 1u) << step.what << ": " << after[0] << " then " << after[1];
        }
        HeadlessStop();
        ASSERT_EQ(g_viewer, nullptr);
        ASSERT_FALSE(g_screen.created);
    }
    // Forgeries that every open refused, or none, would leave half of the program untried.
    EXPECT_GT(opened, kCases / 4);
    EXPECT_LT(opened, kCases - kCases / 8);
}

}  // namespace
