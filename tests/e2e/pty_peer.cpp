#include "pty_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include "platform/serial_device.h"

PtyPeer::PtyPeer()
{
    fd_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (fd_ < 0)
        return;
    if (grantpt(fd_) != 0 || unlockpt(fd_) != 0 || !ptsname(fd_)) {
        close(fd_);
        fd_ = -1;
        return;
    }
    path_ = ptsname(fd_);
    termios t{};
    tcgetattr(fd_, &t);
    cfmakeraw(&t);
    tcsetattr(fd_, TCSANOW, &t);
}

PtyPeer::~PtyPeer()
{
    if (fd_ >= 0)
        close(fd_);
}

void PtyPeer::Write(const std::vector<uint8_t>& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
    tcdrain(fd_);
}

std::vector<uint8_t> PtyPeer::Read(int waitMs)
{
    std::vector<uint8_t> out;
    pollfd p{fd_, POLLIN, 0};
    while (poll(&p, 1, waitMs) > 0 && (p.revents & POLLIN)) {
        uint8_t buffer[512];
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        out.insert(out.end(), buffer, buffer + n);
        waitMs = 20; // the rest of a burst follows at once
    }
    return out;
}

bool SerialDevicesAvailable()
{
    PtyPeer probe;
    return probe.ok() && OpenSerialDevice(probe.path()) != nullptr;
}
