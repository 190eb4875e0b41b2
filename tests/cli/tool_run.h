// Runs the built duzuroro-cli as a user would, with its standard output and standard
// error captured apart, and no terminal.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// `scratch` receives the two captured streams.
ToolRun RunTool(const std::vector<std::string>& arguments, const std::filesystem::path& scratch);

std::string ReadFileText(const std::filesystem::path& path);
