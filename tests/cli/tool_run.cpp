#include "cli/tool_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

namespace {

// The tool's path, and before it the words of DUZURORO_CLI_RUNNER when that is set: so that
// the same tests can run another build of the tool, such as duzuroro-cli.exe under Wine
// (DUZURORO_CLI_RUNNER=wine64 DUZURORO_CLI=.../duzuroro-cli.exe).
std::vector<std::string> ToolCommand() {
    std::vector<std::string> words;
    if (const char* runner = std::getenv("DUZURORO_CLI_RUNNER"); runner != nullptr) {
        std::istringstream split(runner);
        for (std::string word; split >> word;) words.push_back(word);
    }
    const char* tool = std::getenv("DUZURORO_CLI");
    words.push_back(tool != nullptr && *tool != '\0' ? tool : DUZURORO_CLI_PATH);
    return words;
}

}  // namespace

ToolRun RunTool(const std::vector<std::string>& arguments, const std::filesystem::path& scratch,
                const ToolLimits& limits) {
    const bool discardOutput = limits.discardOutput;
    const std::filesystem::path out = scratch / "stdout.txt", err = scratch / "stderr.txt";
    std::vector<std::string> words = ToolCommand();
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int input = open("/dev/null", O_RDONLY);
        const int output = open(discardOutput ? "/dev/null" : out.c_str(),
                                O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int error = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(input, 0);
        dup2(output, 1);
        dup2(error, 2);
        if (limits.addressSpaceKb > 0) {
            const rlimit limit{rlim_t(limits.addressSpaceKb) * 1024, rlim_t(limits.addressSpaceKb) * 1024};
            setrlimit(RLIMIT_AS, &limit);
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    ToolRun run;
    int status = 0;
    rusage usage{};
    if (child > 0 && wait4(child, &status, 0, &usage) == child) {
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.peakMemoryKb = usage.ru_maxrss;
    }
    run.out = discardOutput ? std::string() : ReadFileText(out);
    run.err = ReadFileText(err);
    return run;
}

std::string Said(const ToolRun& run) {
    const std::string& err = run.err;
    const size_t start = err.size() < 2 ? 0 : err.rfind('\n', err.size() - 2);
    const size_t lineStart = start == std::string::npos || err.size() < 2 ? 0 : start + 1;
    if (err.compare(lineStart, 6, "Wrote ") != 0) return err;
    return err.substr(0, lineStart);
}
