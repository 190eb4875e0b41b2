// Runs the built duzuroro-cli as a user would, with its standard output and standard
// error captured apart, and no terminal. DUZURORO_CLI and DUZURORO_CLI_RUNNER name another
// build of the tool and what runs it (tool_run.cpp).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct ToolRun {
    int exitCode = -1;  // -1 when it did not exit by itself (a signal, an abort)
    std::string out;
    std::string err;
    long peakMemoryKb = 0;  // the most memory it held at once (resident set)
};

struct ToolLimits {
    bool discardOutput = false;  // standard output to /dev/null (a listing too large to keep)
    long addressSpaceKb = 0;     // when set, allocations beyond it fail
};

// `scratch` receives the two captured streams.
ToolRun RunTool(const std::vector<std::string>& arguments, const std::filesystem::path& scratch,
                const ToolLimits& limits = {});

// Standard error without the summary that closes export and gallery ("Wrote 3 files (2 KB)
// into out/; 1 note."): the messages before it, for tests about the messages.
std::string Said(const ToolRun& run);

std::string ReadFileText(const std::filesystem::path& path);
