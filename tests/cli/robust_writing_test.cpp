// Writing that fails well. Into a full file system, a read-only one and a folder the tool may
// not write into, export and gallery stop at the first refusal with one message and exit 1,
// leaving no hidden or partial file; every file they leave reads back whole. Killed by a
// signal at any moment, they leave no partial or hidden file either. The file systems are
// small tmpfs mounts made by the test, which needs root for them (and skips without).
#include <fcntl.h>
#include <gif_lib.h>
#include <pwd.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <thread>

#include "cli/cli_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

// 40 costumes of `frames` frames of a few hundred bytes each: with 24, a 300 KB file system
// is full long before the last one.
GameLayout ManyCostumes(uint32_t frames) {
    GameLayout layout;
    layout.roomDisks = {0, 1};
    layout.costumes.push_back({1, {}});
    for (uint32_t c = 1; c <= 40; ++c) {
        CostumeDesign design;
        design.codec = 1;
        for (uint32_t i = 0; i < 16; ++i) {
            design.colours.insert(design.colours.end(), {static_cast<uint8_t>(i * 16),
                                                         static_cast<uint8_t>(255 - i * 9),
                                                         static_cast<uint8_t>(c * 6)});
        }
        for (uint32_t f = 0; f < frames; ++f) {
            CostumeFrame frame;
            frame.width = static_cast<uint16_t>(20 + (f * 7 + c * 3) % 30);
            frame.height = static_cast<uint16_t>(30 + (f * 5 + c) % 30);
            for (uint32_t y = 0; y < frame.height; ++y) {
                for (uint32_t x = 0; x < frame.width; ++x) {
                    frame.pixels.push_back(static_cast<uint8_t>((x / 3 + y / 4 + f + c) % 16));
                }
            }
            design.frames.push_back(std::move(frame));
        }
        layout.costumes.push_back({1, BuildCostumeBlock(design)});
    }
    return layout;
}

// A tmpfs mounted for one test, gone with it.
struct SmallFileSystem {
    fs::path point;
    std::string refused;  // why it could not be mounted, or ""

    SmallFileSystem(const fs::path& where, const std::string& options, bool readOnly)
        : point(where) {
        fs::create_directories(point);
        const unsigned long flags = readOnly ? MS_RDONLY : 0;
        if (mount("duzuroro-test", point.c_str(), "tmpfs", flags, options.c_str()) != 0) {
            refused = std::string("cannot mount a tmpfs (") + std::strerror(errno) +
                      "); the test needs root or CAP_SYS_ADMIN";
        }
    }
    ~SmallFileSystem() {
        if (refused.empty()) umount2(point.c_str(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;
};

std::vector<std::string> ErrorLines(const std::string& err) {
    std::vector<std::string> lines;
    std::istringstream stream(err);
    for (std::string line; std::getline(stream, line);) {
        if (line.rfind("Error: ", 0) == 0) lines.push_back(line);
    }
    return lines;
}

// What the closing summary says was written: "Wrote 75 files (98 KB) into ..."
int SummaryCount(const std::string& err) {
    std::smatch match;
    if (std::regex_search(err, match, std::regex("Wrote ([0-9]+) files? \\("))) {
        return std::stoi(match[1]);
    }
    return err.find("Wrote no files") != std::string::npos ? 0 : -1;
}

bool ReadsAsGif(const fs::path& path) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (gif == nullptr) return false;
    const bool whole = DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0;
    DGifCloseFile(gif, &error);
    return whole;
}

// What is wrong with the files in `folder`: a hidden one, or one that does not read back
// whole as what its name says. Empty when every file is whole.
std::vector<std::string> Problems(const fs::path& folder) {
    std::vector<std::string> problems;
    if (!fs::exists(folder)) return problems;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        const std::string extension = entry.path().extension().string();
        const auto bad = [&](const std::string& what) { problems.push_back(name + ": " + what); };
        if (name[0] == '.') {
            bad("a hidden file left behind");
            continue;
        }
        if (!entry.is_regular_file()) continue;
        std::string error;
        PngContents png;
        if (extension == ".png" && !ReadPng(entry.path(), &png, &error)) bad(error);
        if (extension == ".gif" && !ReadsAsGif(entry.path())) bad("not a whole GIF");
        if (extension == ".json" &&
            nlohmann::json::parse(ReadFileText(entry.path()), nullptr, false).is_discarded()) {
            bad("not whole JSON");
        }
        const std::string text = extension == ".gif" || extension == ".png" ? ""
                                                                             : ReadFileText(entry.path());
        if (extension == ".gpl" && text.find("Index 255\n") != text.size() - 10) bad("cut short");
        if (extension == ".act" && text.size() != 772) bad("cut short");
        if (name == "index.html" && text.find("</html>\n") != text.size() - 8 &&
            text != "an older page\n") {
            bad("cut short");
        }
    }
    return problems;
}

size_t RegularFiles(const fs::path& folder) {
    size_t count = 0;
    if (!fs::exists(folder)) return count;
    for (const auto& entry : fs::directory_iterator(folder)) count += entry.is_regular_file();
    return count;
}

// The tests that start the tool themselves (as another user, or to kill it) drive this
// build's POSIX tool; another build under test (DUZURORO_CLI) is left to the others.
bool AnotherBuildUnderTest() {
    return std::getenv("DUZURORO_CLI") != nullptr;
}

struct RobustWriting : CliTest {
    std::string ManyIndex(uint32_t frames) {
        std::string error;
        EXPECT_TRUE(WriteGame(game, "MANY", ManyCostumes(frames), &error)) << error;
        return (game / "MANY.LA0").string();
    }
};

TEST_F(RobustWriting, AFullDiskStopsTheCommandWithOneMessageAndWholeFiles) {
    const std::string index = ManyIndex(24);
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        const char* jobs;
    };
    const Case cases[] = {
        {"PNG frames", {"export", index}, "1"},
        {"PNG frames by four workers", {"export", index}, "4"},
        {"GIFs", {"export", index, "--format", "gif"}, "1"},
        {"GIFs by three workers", {"export", index, "--format", "gif"}, "3"},
        {"sheets and palettes", {"export", index, "--sheet", "--palette", "gpl"}, "2"},
        {"a gallery", {"gallery", index}, "1"},
        {"a gallery by four workers", {"gallery", index}, "4"},
    };
    int number = 0;
    for (const Case& each : cases) {
        SCOPED_TRACE(each.what);
        const SmallFileSystem disk(temp.path / ("full-" + std::to_string(++number)), "size=300k",
                                   false);
        if (!disk.refused.empty()) GTEST_SKIP() << disk.refused;
        const fs::path folder = disk.point / "out";
        const bool gallery = each.arguments[0] == "gallery";
        if (gallery) {  // a page from before stays as it was: the new one would link to nothing
            fs::create_directories(folder);
            std::ofstream(folder / "index.html") << "an older page\n";
        }
        std::vector<std::string> arguments = each.arguments;
        arguments.insert(arguments.end(), {"--out", folder.string(), "--jobs", each.jobs});
        const ToolRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, 1);
        const std::vector<std::string> errors = ErrorLines(run.err);
        ASSERT_EQ(errors.size(), 1u) << run.err;
        EXPECT_NE(errors[0].find("Error: Cannot write " + folder.string() + "/"), std::string::npos)
            << errors[0];
        EXPECT_NE(errors[0].find(": No space left on device ["), std::string::npos) << errors[0];
        EXPECT_EQ(Problems(folder), std::vector<std::string>{});
        EXPECT_GT(RegularFiles(folder), gallery ? 1u : 0u);
        EXPECT_EQ(SummaryCount(run.err), static_cast<int>(RegularFiles(folder) - gallery)) << run.err;
        if (gallery) {
            EXPECT_EQ(ReadFileText(folder / "index.html"), "an older page\n");
        }
    }
}

TEST_F(RobustWriting, AReadOnlyFileSystemStopsTheCommandWithOneMessage) {
    MakeDemo();
    const SmallFileSystem disk(temp.path / "read-only", "size=300k", true);
    if (!disk.refused.empty()) GTEST_SKIP() << disk.refused;
    const std::string folder = disk.point.string();
    struct Case {
        std::vector<std::string> arguments;
        std::string said;
    };
    const Case cases[] = {
        {{"export", IndexFile(), "--out", folder},
         "Error: Cannot write " + folder + "/costume-0001-frame-001.png: Read-only file system "
         "[costume 1, frame 1]"},
        {{"export", IndexFile(), "--out", folder, "--jobs", "4", "--format", "gif"},
         "Error: Cannot write " + folder + "/costume-0001.gif: Read-only file system [costume 1]"},
        {{"export", IndexFile(), "--out", folder + "/below"},
         "Error: Cannot create " + folder + "/below: Read-only file system [costume 1, frame 1]"},
        {{"gallery", IndexFile(), "--out", folder, "--jobs", "3"},
         "Error: Cannot write " + folder + "/index.html: Read-only file system [" + folder +
             "/index.html]"},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.arguments[0] + " " + each.arguments.back());
        const ToolRun run = Run(each.arguments);
        EXPECT_EQ(run.exitCode, 1);
        std::vector<std::string> errors = ErrorLines(run.err);
        if (AnotherBuildUnderTest()) {  // Wine gives a read-only mount's refusal as access denied
            for (std::string& line : errors) {
                line = std::regex_replace(line, std::regex(": Permission denied \\["),
                                          ": Read-only file system [");
            }
        }
        EXPECT_EQ(errors, std::vector<std::string>{each.said}) << run.err;
        EXPECT_TRUE(fs::is_empty(disk.point));
    }
}

TEST_F(RobustWriting, AFailureOfOneFileGoesOnWithTheOthers) {
    MakeDemo();
    for (const char* jobs : {"1", "3"}) {
        SCOPED_TRACE(jobs);
        fs::remove_all(out);
        fs::create_directories(out / "costume-0002-frame-001.png");  // a folder in the way
        const ToolRun run = Run({"export", IndexFile(), "--out", out.string(), "--jobs", jobs});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(ErrorLines(run.err),
                  std::vector<std::string>{"Error: Cannot write " + out.string() +
                                           "/costume-0002-frame-001.png: Is a directory "
                                           "[costume 2, frame 1]"});
        EXPECT_TRUE(fs::exists(out / "costume-0002-frame-002.png"));
        EXPECT_TRUE(fs::exists(out / "costume-0014-frame-001.png"));
        EXPECT_EQ(Problems(out), std::vector<std::string>{});
        EXPECT_EQ(SummaryCount(run.err), static_cast<int>(RegularFiles(out))) << run.err;
    }
}

// Runs the tool as `user` (when the test is root; as itself otherwise) with its standard
// error captured: the exit status and that text.
std::pair<int, std::string> RunAs(const passwd* user, const std::vector<std::string>& arguments,
                                  const fs::path& errors) {
    const pid_t child = fork();
    if (child == 0) {
        const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int none = open("/dev/null", O_WRONLY);
        if (err < 0 || none < 0 || dup2(none, 1) < 0 || dup2(err, 2) < 0) _exit(98);
        if (getuid() == 0 && (setgid(user->pw_gid) != 0 || setuid(user->pw_uid) != 0)) _exit(97);
        std::vector<char*> argv{const_cast<char*>(DUZURORO_CLI_PATH)};
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(DUZURORO_CLI_PATH, argv.data());
        _exit(96);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFileText(errors)};
}

TEST_F(RobustWriting, AFolderThatMayNotBeWrittenStopsTheCommandWithOneMessage) {
    if (AnotherBuildUnderTest()) GTEST_SKIP() << "starts this build's tool as another user";
    MakeDemo();
    const passwd* nobody = getpwnam("nobody");
    if (getuid() == 0 && nobody == nullptr) GTEST_SKIP() << "no user to drop root's rights to";
    fs::permissions(temp.path, fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec);
    const fs::path closed = temp.path / "closed";
    fs::create_directories(closed);
    fs::permissions(closed, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    if (getuid() != 0) fs::permissions(closed, fs::perms::owner_write, fs::perm_options::remove);
    const fs::path errors = temp.path / "errors.txt";
    struct Case {
        std::vector<std::string> arguments;
        std::string said;
    };
    const Case cases[] = {
        {{"export", IndexFile(), "--out", closed.string(), "--jobs", "2"},
         "Error: Cannot write " + closed.string() +
             "/costume-0001-frame-001.png: Permission denied [costume 1, frame 1]"},
        {{"export", IndexFile(), "--out", (closed / "below").string()},
         "Error: Cannot create " + (closed / "below").string() +
             ": Permission denied [costume 1, frame 1]"},
        {{"gallery", IndexFile(), "--out", closed.string()},
         "Error: Cannot write " + closed.string() + "/index.html: Permission denied [" +
             closed.string() + "/index.html]"},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.arguments[0] + " " + each.arguments.back());
        const auto [status, said] = RunAs(nobody, each.arguments, errors);
        ASSERT_LT(status, 96) << "the tool could not be started as another user";
        EXPECT_EQ(status, 1);
        EXPECT_EQ(ErrorLines(said), std::vector<std::string>{each.said}) << said;
        EXPECT_TRUE(fs::is_empty(closed));
    }
}

// The tool started with its output thrown away; with `withoutProc`, in a mount namespace of
// its own where /proc is an empty tmpfs, so that it cannot link unnamed files and writes
// under hidden names instead.
pid_t StartTool(const std::vector<std::string>& arguments, bool withoutProc) {
    const pid_t child = fork();
    if (child != 0) return child;
    const int none = open("/dev/null", O_WRONLY);
    if (none < 0 || dup2(none, 1) < 0 || dup2(none, 2) < 0) _exit(98);
    if (withoutProc && (unshare(CLONE_NEWNS) != 0 ||
                        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                        mount("none", "/proc", "tmpfs", 0, nullptr) != 0)) {
        _exit(99);
    }
    std::vector<char*> argv{const_cast<char*>(DUZURORO_CLI_PATH)};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(DUZURORO_CLI_PATH, argv.data());
    _exit(97);
}

int Wait(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

// Runs the export to its end while looking into its folder as often as it can: its status,
// and whether a hidden file was ever seen there.
struct WatchedRun {
    int status = 0;
    bool hiddenSeen = false;
};

WatchedRun Watch(const std::vector<std::string>& arguments, const fs::path& folder,
                 bool withoutProc) {
    WatchedRun run;
    const pid_t child = StartTool(arguments, withoutProc);
    std::atomic<bool> done{false};
    std::thread looking([&] {
        while (!done) {
            std::error_code failed;
            for (fs::directory_iterator entry(folder, failed), end; !failed && entry != end;
                 entry.increment(failed)) {
                if (entry->path().filename().string()[0] == '.') run.hiddenSeen = true;
            }
        }
    });
    run.status = Wait(child);
    done = true;
    looking.join();
    return run;
}

struct KillPoint {
    int signal;
    bool freshFolder;  // else the folder of the runs before, whose files are replaced
};

// Each file of a folder, by its name, with its inode: a file replaced is a new inode.
std::map<std::string, ino_t> Inodes(const fs::path& folder) {
    std::map<std::string, ino_t> inodes;
    std::error_code failed;
    for (fs::directory_iterator entry(folder, failed), end; !failed && entry != end;
         entry.increment(failed)) {
        struct stat status {};
        if (stat(entry->path().c_str(), &status) == 0) {
            inodes[entry->path().filename().string()] = status.st_ino;
        }
    }
    return inodes;
}

size_t WrittenSince(const std::map<std::string, ino_t>& before, const fs::path& folder) {
    size_t written = 0;
    for (const auto& [name, inode] : Inodes(folder)) {
        const auto found = before.find(name);
        written += found == before.end() || found->second != inode;
    }
    return written;
}

// Kills export runs at points spread over a whole run, each point with its signal, and
// checks the folder after each. A point is a share of the files a whole run writes, so that
// a loaded machine moves it no more than an idle one. The commands alternate between PNG
// frames, and sheets with GIFs and palettes by three workers.
void KillAtPoints(CliTest& test, const std::string& index, const std::vector<KillPoint>& points,
                  bool withoutProc) {
    const std::vector<std::vector<std::string>> commands = {
        {"export", index, "--jobs", "1"},
        {"export", index, "--sheet", "--format", "gif", "--palette", "act", "--jobs", "3"},
    };
    std::vector<size_t> files;
    for (size_t command = 0; command < commands.size(); ++command) {
        const fs::path folder = test.temp.path / ("whole-" + std::to_string(command));
        std::vector<std::string> arguments = commands[command];
        arguments.insert(arguments.end(), {"--out", folder.string()});
        const int status = Wait(StartTool(arguments, withoutProc));
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        files.push_back(RegularFiles(folder));
    }
    int killed = 0;
    for (size_t point = 0; point < points.size(); ++point) {
        const KillPoint& at = points[point];
        const fs::path folder =
            test.temp.path / (at.freshFolder ? "killed-" + std::to_string(point) : "again");
        const size_t command = point % commands.size();
        std::vector<std::string> arguments = commands[command];
        arguments.insert(arguments.end(), {"--out", folder.string()});
        SCOPED_TRACE("point " + std::to_string(point) + ", signal " + std::to_string(at.signal));
        const std::map<std::string, ino_t> before = Inodes(folder);
        const size_t target = files[command] * point / points.size();
        const pid_t child = StartTool(arguments, withoutProc);
        int status = 0;
        while (WrittenSince(before, folder) < target && waitpid(child, &status, WNOHANG) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        kill(child, at.signal);
        status = Wait(child);
        if (WIFSIGNALED(status)) {
            EXPECT_EQ(WTERMSIG(status), at.signal);
            ++killed;
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        }
        EXPECT_EQ(Problems(folder), std::vector<std::string>{});
    }
    std::printf("Killed mid-run at %d of %zu points\n", killed, points.size());
    // Most points must fall inside a run for the test to prove anything.
    EXPECT_GE(killed, static_cast<int>(points.size() * 3 / 5));
}

TEST_F(RobustWriting, AnExportKilledAtFiftyPointsLeavesOnlyWholeFiles) {
    if (AnotherBuildUnderTest()) GTEST_SKIP() << "kills this build's tool by POSIX signals";
    const std::string index = ManyIndex(6);  // a run of a few tenths of a second
    const fs::path watched = temp.path / "watched";
    const WatchedRun run = Watch({"export", index, "--out", watched.string()}, watched, false);
    ASSERT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0);
    EXPECT_FALSE(run.hiddenSeen) << "unnamed files have no name to be seen by";
    std::vector<KillPoint> points;
    const int signals[] = {SIGTERM, SIGINT, SIGKILL};
    for (int point = 0; point < 50; ++point) {
        const int signal = signals[point % 3];
        // A SIGKILL in the two steps of replacing a file leaves it whole under a hidden name:
        // it is sent only to runs into a fresh folder, where nothing is replaced.
        points.push_back({signal, signal == SIGKILL || point % 4 == 0});
    }
    KillAtPoints(*this, index, points, false);
}

TEST_F(RobustWriting, WithoutUnnamedFilesAnInterruptionRemovesTheHiddenOnes) {
    if (AnotherBuildUnderTest()) GTEST_SKIP() << "kills this build's tool by POSIX signals";
    const int started = Wait(StartTool({"--version"}, true));
    if (WIFEXITED(started) && WEXITSTATUS(started) == 99) {
        GTEST_SKIP() << "cannot hide /proc from the tool: a mount namespace needs root";
    }
    if (!WIFEXITED(started) || WEXITSTATUS(started) != 0) {
        GTEST_SKIP() << "this build of the tool does not run without /proc (a sanitizer's)";
    }
    const std::string index = ManyIndex(6);  // a run of a few tenths of a second
    const fs::path watched = temp.path / "watched";
    const WatchedRun run = Watch({"export", index, "--out", watched.string()}, watched, true);
    ASSERT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0);
    EXPECT_TRUE(run.hiddenSeen) << "the files were not written under hidden names";
    EXPECT_EQ(Problems(watched), std::vector<std::string>{});
    std::vector<KillPoint> points;
    for (int point = 0; point < 20; ++point) {
        points.push_back({point % 2 == 0 ? SIGTERM : SIGINT, point % 3 == 0});
    }
    KillAtPoints(*this, index, points, true);
}

}  // namespace
