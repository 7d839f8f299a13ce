// zelk_dump: decodes a raw recording, standard input or a live port.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "dump_command.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) { g_stop = 1; }

} // namespace

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    return RunDumpCommand(std::vector<std::string>(argv + 1, argv + argc), std::cin, std::cout, std::cerr, &g_stop);
}
