// zelk_dump: decodes raw recordings, standard input or a live port.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "dump_command.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;
int g_wake[2] = {-1, -1};

void OnSignal(int)
{
    g_stop = 1;
    if (g_wake[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(g_wake[1], &byte, 1);
    }
}

// No SA_RESTART: a read waiting for input returns at the signal.
void CatchStopSignals()
{
    if (::pipe2(g_wake, O_NONBLOCK | O_CLOEXEC) != 0)
        g_wake[0] = g_wake[1] = -1; // the flag alone is then polled
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    CatchStopSignals();
    return RunDumpCommand(std::vector<std::string>(argv + 1, argv + argc), std::cin, std::cout, std::cerr, &g_stop,
                          STDIN_FILENO, g_wake[0]);
}
