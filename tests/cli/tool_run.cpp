#include "cli/tool_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

ToolRun RunTool(const std::vector<std::string>& arguments, const std::filesystem::path& scratch,
                const ToolLimits& limits) {
    const bool discardOutput = limits.discardOutput;
    const std::filesystem::path out = scratch / "stdout.txt", err = scratch / "stderr.txt";
    std::vector<char*> argv = {const_cast<char*>(DUZURORO_CLI_PATH)};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
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
        execv(argv[0], argv.data());
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
