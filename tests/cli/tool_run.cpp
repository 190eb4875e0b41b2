#include "cli/tool_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

ToolRun RunTool(const std::vector<std::string>& arguments, const std::filesystem::path& scratch) {
    const std::filesystem::path out = scratch / "stdout.txt", err = scratch / "stderr.txt";
    std::string command = Quoted(DUZURORO_CLI_PATH);
    for (const std::string& argument : arguments) command += " " + Quoted(argument);
    command += " </dev/null >" + Quoted(out.string()) + " 2>" + Quoted(err.string());
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadFileText(out);
    run.err = ReadFileText(err);
    return run;
}
