// A long headless session of random key presses and opens (a fixed seed) over the demo game,
// a small game with an absent disk, the forged games of tests/regressions and a broken game.
// After every open the program holds exactly what it held after that game's first open;
// every message is one of the core's fixed messages that its game is expected to say; no
// more memory is held late in the session than early on; and at the end nothing is left.
// DUZURORO_SOAK_ACTIONS sets the session's length (the test run's default takes some seconds).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <set>

#include "common/allocation.h"
#include "demo/demo_game.h"
#include "robust/allocation_count.h"
#include "robust/browsed_game.h"

namespace {

constexpr uint64_t kDefaultActions = 30000;
constexpr uint32_t kSeed = 20240611;
constexpr size_t kMiB = size_t{1} << 20;
// What a session may hold beyond what is read from the game: the largest frame, its zoomed
// copy and the screen (MemoryBound checks it over forged games).
constexpr size_t kFixedBound = 18 * kMiB;
// Periods of the session compared with each other for growth.
constexpr uint64_t kPeriods = 10;

struct SoakGame {
    const char* what;
    std::string path;
    std::set<std::string> expected;  // the messages this game may make the program say
    uint32_t stay;  // key presses, on average, before the next open
};

struct Level {
    size_t bytes = 0;
    size_t blocks = 0;
    bool operator==(const Level&) const = default;
    Level operator-(const Level& other) const {
        return {bytes - other.bytes, blocks - other.blocks};
    }
};

Level Held() {
    return {g_allocated.liveBytes, g_allocated.liveBlocks};
}

// What the front-end keeps for the test (repaints, messages) is let go before measuring.
void ForgetRecorded() {
    std::vector<ScreenRect>().swap(g_headless.repaints);
    std::vector<std::string>().swap(g_headless.errors);
}

uint64_t SoakActions() {
    const char* text = std::getenv("DUZURORO_SOAK_ACTIONS");
    return text != nullptr && std::atoll(text) > 0 ? std::strtoull(text, nullptr, 10)
                                                   : kDefaultActions;
}

std::filesystem::path Regressions() {
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "regressions";
}

TEST(Soak, RandomKeysAndOpensHoldNoMoreOverTime) {
    TempDir demo;
    std::string error;
    ASSERT_TRUE(WriteDemoGame(demo.path, &error)) << error;
    TestGame small;
    small.Write(BrowsedGame());
    ASSERT_TRUE(WriteBytes(demo.path / "BROKEN.LA0", {'N', 'O', 'N', 'E', 0, 0, 0, 8}, &error));
    const std::vector<SoakGame> games = {
        {"the demo game", (demo.path / "DEMO.LA0").string(), {}, 64},
        {"a game with an absent disk", small.IndexPath(), {}, 64},
        // Each of its frames claims 16 Mpixel: every key press decodes that much.
        {"decode-work", (Regressions() / "decode-work" / "G.LA0").string(), {}, 2},
        {"info-memory", (Regressions() / "info-memory" / "G.LA0").string(), {}, 64},
        {"a broken game", (demo.path / "BROKEN.LA0").string(), {"Unknown block: NONE"}, 64},
    };
    // The keys the program handles, and one it does not.
    const uint32_t keys[] = {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN, KEY_ADD, KEY_SUBTRACT, 'A'};

    const uint64_t actions = SoakActions();
    std::mt19937 random(kSeed);
    std::map<size_t, Level> afterOpen;  // the first open of each game
    std::map<std::string, uint64_t> said;
    std::set<std::string> unexpected;  // game: message
    std::vector<Level> periodPeak(kPeriods);
    size_t current = 0;
    uint64_t opens = 0;
    size_t largestIndex = 0;

    // What the test itself comes to hold as it goes (its tallies) is not the program's.
    Level own;
    const auto Own = [&own](const auto& book) {
        const Level was = Held();
        book();
        const Level growth = Held() - was;
        own.bytes += growth.bytes;
        own.blocks += growth.blocks;
    };
    g_headless.Clear();
    ForgetRecorded();
    g_allocationFaults = AllocationFaults{};
    const Level before = Held();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(HeadlessStart());
    for (uint64_t action = 0; action < actions; ++action) {
        const bool open = action == 0 || random() % games[current].stay == 0;
        if (open) {
            current = random() % games.size();
            HeadlessOpen(games[current].path);
            ++opens;
        } else {
            HeadlessPressKey(keys[random() % std::size(keys)]);
        }
        Own([&] {
            for (const std::string& message : g_headless.errors) {
                ++said[message];
                if (!games[current].expected.count(message)) {
                    unexpected.insert(std::string(games[current].what) + ": " + message);
                }
            }
        });
        ForgetRecorded();
        const Level held = Held() - own;
        if (open) {
            auto first = afterOpen.find(current);
            if (first == afterOpen.end()) Own([&] { first = afterOpen.insert({current, held}).first; });
            ASSERT_EQ(held, first->second)
                << "opening " << games[current].what << " again, at action " << action
                << ", holds " << held.bytes << " bytes in " << held.blocks
                << " blocks instead of " << first->second.bytes << " in "
                << first->second.blocks;
            largestIndex = std::max<size_t>(largestIndex, std::filesystem::file_size(games[current].path));
        }
        Level& peak = periodPeak[action * kPeriods / actions];
        peak.bytes = std::max(peak.bytes, held.bytes);
        peak.blocks = std::max(peak.blocks, held.blocks);
        ASSERT_LE(held.bytes - before.bytes, kFixedBound + 2 * largestIndex + 4 * kMiB)
            << "at action " << action;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const uint64_t asked = g_allocationFaults.asked;
    HeadlessStop();
    ForgetRecorded();
    g_headless.Clear();
    EXPECT_EQ(Held() - own, before) << "what the session held is all given back";
    EXPECT_EQ(unexpected, std::set<std::string>{});

    // The second half of the session holds no more than the first did.
    Level early, late;
    for (uint64_t p = 0; p < kPeriods; ++p) {
        Level& half = p < kPeriods / 2 ? early : late;
        half.bytes = std::max(half.bytes, periodPeak[p].bytes);
        half.blocks = std::max(half.blocks, periodPeak[p].blocks);
    }
    EXPECT_LE(late.bytes, early.bytes);
    EXPECT_LE(late.blocks, early.blocks);

    std::printf("%llu actions (%llu opens) in %.1f s, %llu allocations through the seam\n",
                static_cast<unsigned long long>(actions), static_cast<unsigned long long>(opens),
                seconds, static_cast<unsigned long long>(asked));
    for (const auto& [game, level] : afterOpen) {
        std::printf("  after opening %s: %zu bytes in %zu blocks\n", games[game].what,
                    level.bytes - before.bytes, level.blocks - before.blocks);
    }
    std::printf("  held at most, by tenths of the session (bytes, blocks):");
    for (const Level& peak : periodPeak)
        std::printf(" %zu/%zu", peak.bytes - before.bytes, peak.blocks - before.blocks);
    std::printf("\n");
    for (const auto& [message, count] : said) std::printf("  \"%s\": %llu\n", message.c_str(),
                                                          static_cast<unsigned long long>(count));
}

}  // namespace
