#include "sim/open_gate.h"

#include <chrono>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

constexpr double kSettleSeconds = 0.5;

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

bool WaitForOpen(const std::string& path, double waitSeconds, const volatile std::sig_atomic_t* stop)
{
    const auto start = std::chrono::steady_clock::now();
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    const bool watching = fd >= 0 && inotify_add_watch(fd, path.c_str(), IN_OPEN) >= 0;
    if (!watching && waitSeconds < 0) {
        if (fd >= 0)
            close(fd);
        return !*stop; // nothing to wait for: start at once
    }
    auto lastOpen = start;
    bool opened = false;
    while (!*stop) {
        if (waitSeconds >= 0 && SecondsSince(start) >= waitSeconds)
            break;
        if (opened && SecondsSince(lastOpen) >= kSettleSeconds)
            break;
        pollfd p{fd, POLLIN, 0};
        if (watching && poll(&p, 1, 50) > 0) {
            char events[4096];
            while (read(fd, events, sizeof events) > 0) {
            }
            opened = true;
            lastOpen = std::chrono::steady_clock::now();
        } else if (!watching) {
            usleep(50000);
        }
    }
    if (fd >= 0)
        close(fd);
    return !*stop;
}
