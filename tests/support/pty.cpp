#include "support/pty.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

bool WaitFor(int fd, short events, int timeoutMs)
{
    pollfd p{fd, events, 0};
    for (;;) {
        const int r = poll(&p, 1, timeoutMs);
        if (r < 0 && errno == EINTR)
            continue;
        return r > 0;
    }
}

} // namespace

bool WaitReadable(int fd, int timeoutMs) { return WaitFor(fd, POLLIN, timeoutMs); }

PtyPair::PtyPair()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0)
        return;
    char name[128] = {};
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name) != 0) {
        CloseMaster();
        return;
    }
    // A new pair starts cooked (echo, CR/LF mapping); the peer must see bytes as sent.
    termios tio{};
    if (tcgetattr(master_, &tio) == 0) {
        cfmakeraw(&tio);
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        tcsetattr(master_, TCSANOW, &tio);
    }
    devicePath_ = name;
}

PtyPair::~PtyPair() { CloseMaster(); }

bool PtyPair::Write(const std::vector<uint8_t>& bytes, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    size_t done = 0;
    while (master_ >= 0 && done < bytes.size()) {
        const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (!WaitFor(master_, POLLOUT, MsLeft(deadline)))
            return false;
    }
    return done == bytes.size();
}

std::vector<uint8_t> PtyPair::Read(size_t count, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<uint8_t> out;
    uint8_t buffer[4096];
    while (master_ >= 0 && out.size() < count) {
        const ssize_t n = read(master_, buffer, std::min(sizeof buffer, count - out.size()));
        if (n > 0) {
            out.insert(out.end(), buffer, buffer + n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            break; // EIO: the device end is closed
        if (MsLeft(deadline) == 0 || !WaitReadable(master_, MsLeft(deadline)))
            break;
    }
    return out;
}

std::vector<uint8_t> PtyPair::ReadAvailable(int timeoutMs, int quietMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<uint8_t> out;
    uint8_t buffer[4096];
    while (master_ >= 0) {
        const int wait = out.empty() ? MsLeft(deadline) : std::min(quietMs, MsLeft(deadline));
        if (wait == 0 || !WaitReadable(master_, wait))
            break;
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        out.insert(out.end(), buffer, buffer + n);
    }
    return out;
}

bool PtyPair::DeviceTermios(termios& tio) const
{
    // Terminal requests on the master act on the device end's settings.
    return master_ >= 0 && tcgetattr(master_, &tio) == 0;
}

void PtyPair::CloseMaster()
{
    if (master_ >= 0)
        close(master_);
    master_ = -1;
}

void PointLink(const std::string& link, const PtyPair& pty)
{
    std::error_code ignored;
    std::filesystem::remove(link, ignored);
    std::filesystem::create_symlink(pty.devicePath(), link);
}

void Unplug(PtyPair& pty, const std::string& link)
{
    std::error_code ignored;
    std::filesystem::remove(link, ignored);
    pty.CloseMaster();
}
