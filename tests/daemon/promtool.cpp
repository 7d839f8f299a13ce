#include "promtool.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

ToolResult RunPromtool(const std::string& args, const std::string& stdinFile)
{
    ToolResult result;
    if (std::system("command -v promtool >/dev/null 2>&1") != 0) {
        result.output = "promtool is not installed (scripts/setup.sh installs the prometheus package)";
        return result;
    }
    std::string command = "promtool " + args + " 2>&1";
    if (!stdinFile.empty())
        command += " < '" + stdinFile + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
