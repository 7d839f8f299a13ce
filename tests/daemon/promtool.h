// Runs Debian's promtool (package prometheus, installed by scripts/setup.sh).
#pragma once

#include <string>

struct ToolResult {
    int status = -1;
    std::string output;
};

// "promtool ARGS" with stdinFile as its input (when given); status -1 when promtool is missing.
ToolResult RunPromtool(const std::string& args, const std::string& stdinFile = "");
