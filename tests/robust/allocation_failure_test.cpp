// Whole headless sessions in which one allocation fails: each allocation the session asks
// for is made to fail in turn, in a session of its own. Every failure must say exactly one
// thing, "Out of memory.", in the step where it happened; nothing may crash, and the program
// must go on: the session's last step, which opens the game again, must show what it shows
// when nothing fails. The sanitizer build adds LeakSanitizer, which fails the run on a leak.
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "common/allocation.h"
#include "demo/demo_game.h"
#include "robust/browsed_game.h"

namespace {

struct Step {
    std::string what;
    void (*act)(const std::string& path);
};

void Press(uint32_t key) {
    HeadlessPressKey(key);
}

// Open the game; every frame of every costume, forwards with zoom and back without; a
// broken game. (The game is opened again after the steps, to see that the program goes on.)
std::vector<Step> Session(size_t costumes, int frames) {
    std::vector<Step> steps;
    steps.push_back({"open", [](const std::string& path) { HeadlessOpen(path); }});
    for (size_t costume = 1; costume < costumes; ++costume) {
        steps.push_back({"zoom in", [](const std::string&) { Press(KEY_ADD); }});
        for (int frame = 1; frame < frames; ++frame) {
            steps.push_back({"next frame", [](const std::string&) { Press(KEY_RIGHT); }});
        }
        steps.push_back({"zoom out", [](const std::string&) { Press(KEY_SUBTRACT); }});
        for (int frame = 1; frame < frames; ++frame) {
            steps.push_back({"previous frame", [](const std::string&) { Press(KEY_LEFT); }});
        }
        steps.push_back({"next costume", [](const std::string&) { Press(KEY_UP); }});
    }
    steps.push_back({"previous costume", [](const std::string&) { Press(KEY_DOWN); }});
    steps.push_back({"open a broken game", [](const std::string& path) {
                         HeadlessOpen(
                             (std::filesystem::path(path).parent_path() / "BROKEN.LA0").string());
                     }});
    return steps;
}

struct SessionRun {
    bool started = false;
    std::vector<Messages> said;  // at the start, then after each step
    uint64_t allocations = 0;    // asked for by the start and the steps
    Messages reopenSaid;         // opening the game once more after the steps
    Picture reopened;            // and what the window then shows
};

SessionRun RunSession(const std::vector<Step>& steps, const std::string& path) {
    SessionRun run;
    g_headless.Clear();
    run.started = HeadlessStart();
    run.said.push_back(g_headless.TakeErrors());
    if (run.started) {
        for (const Step& step : steps) {
            step.act(path);
            run.said.push_back(g_headless.TakeErrors());
        }
        run.allocations = g_allocationFaults.asked;
        HeadlessOpen(path);
        run.reopenSaid = g_headless.TakeErrors();
        run.reopened = g_headless.picture;
    }
    HeadlessStop();
    return run;
}

// Each place in the source that asked for memory, with the first allocation it asked for.
std::map<std::pair<std::string, int>, uint64_t> g_sites;

void RecordSite(const char* file, int line) {
    g_sites.insert({{file, line}, g_allocationFaults.asked});
}

// A run of the session in which allocation `n` fails, checked against the clean run: the
// step that asked for it says "Out of memory." and only that, the steps before it say what
// they said before, each later step says at most one thing, and opening the game again
// shows what it shows when nothing fails.
void CheckFailingAllocation(uint64_t n, const std::vector<Step>& steps, const std::string& path,
                            const SessionRun& clean) {
    SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
    g_allocationFaults = AllocationFaults{};
    g_allocationFaults.failAt = n;
    const SessionRun run = RunSession(steps, path);
    ASSERT_GE(g_allocationFaults.asked, n) << "the session no longer asks as often";
    g_allocationFaults = AllocationFaults{};

    size_t step = 0;
    while (step < run.said.size() && run.said[step] == clean.said[step]) ++step;
    ASSERT_LT(step, run.said.size()) << "the failure said nothing";
    EXPECT_EQ(run.said[step], Messages{"Out of memory."})
        << "at step " << step << (step > 0 ? " (" + steps[step - 1].what + ")" : "");
    if (step == 0) {  // the screen could not be made: the program ends at once
        EXPECT_FALSE(run.started);
        return;
    }
    for (size_t later = step + 1; later < run.said.size(); ++later) {
        EXPECT_LE(run.said[later].size(), 1u) << steps[later - 1].what;
    }
    EXPECT_EQ(run.reopenSaid, Messages{}) << "opening the game again";
    EXPECT_TRUE(SamePicture(run.reopened, clean.reopened)) << "opening the game again";
}

SessionRun CleanRun(const std::vector<Step>& steps, const std::string& path) {
    g_sites.clear();
    g_allocationFaults = AllocationFaults{};
    g_allocationFaults.observe = RecordSite;
    SessionRun clean = RunSession(steps, path);
    g_allocationFaults = AllocationFaults{};
    EXPECT_TRUE(clean.started);
    EXPECT_EQ(clean.reopenSaid, Messages{});
    return clean;
}

// A broken game beside the game: an index file that is not one.
void WriteBrokenGame(const TempDir& dir) {
    std::string error;
    ASSERT_TRUE(WriteBytes(dir.path / "BROKEN.LA0", {'N', 'O', 'N', 'E', 0, 0, 0, 8}, &error));
}

// The small game's session: every costume and frame of BrowsedGame.
struct SmallSession {
    TestGame game;
    std::vector<Step> steps = Session(5, 3);

    SmallSession() {
        game.Write(BrowsedGame());
        WriteBrokenGame(game.dir);
    }
};

TEST(AllocationFailure, EachAllocationOfASessionFailsOnceAndTheProgramGoesOn) {
    SmallSession small;
    const SessionRun clean = CleanRun(small.steps, small.game.IndexPath());
    ASSERT_GT(clean.allocations, 0u);
    const size_t sites = g_sites.size();
    for (uint64_t n = 1; n <= clean.allocations; ++n) {
        CheckFailingAllocation(n, small.steps, small.game.IndexPath(), clean);
    }
    std::printf("Each of %llu allocations, at %zu places in the source, failed once\n",
                static_cast<unsigned long long>(clean.allocations), sites);
}

// The demo game's session is too long to fail each of its allocations in turn; it reaches no
// place the small game's session does not, and the first allocation of each place fails.
TEST(AllocationFailure, TheDemoSessionFailsAtEachPlaceItAllocates) {
    SmallSession small;
    CleanRun(small.steps, small.game.IndexPath());
    const auto smallSites = g_sites;
    TempDir dir;
    std::string error;
    ASSERT_TRUE(WriteDemoGame(dir.path, &error)) << error;
    WriteBrokenGame(dir);
    const std::string path = (dir.path / "DEMO.LA0").string();
    const std::vector<Step> steps = Session(DesignDemoCostumes().size() + 2, 12);
    const SessionRun clean = CleanRun(steps, path);
    const auto sites = g_sites;
    for (const auto& [site, first] : sites) {
        EXPECT_TRUE(smallSites.count(site)) << site.first << ":" << site.second;
        CheckFailingAllocation(first + 1, steps, path, clean);
    }
    std::printf("The demo session's %llu allocations are at %zu places\n",
                static_cast<unsigned long long>(clean.allocations), sites.size());
}

}  // namespace
