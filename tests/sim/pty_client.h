// The monitor's end of a simulated line, for tests: a raw, non-blocking
// open of the device with a settable bit rate.
#pragma once

#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

class PtyClient {
public:
    explicit PtyClient(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        SetBaud(B9600);
    }
    ~PtyClient()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    bool SetBaud(speed_t speed)
    {
        termios t{};
        if (fd_ < 0 || tcgetattr(fd_, &t) != 0)
            return false;
        cfmakeraw(&t);
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
        return tcsetattr(fd_, TCSANOW, &t) == 0;
    }
    void Purge() { tcflush(fd_, TCIOFLUSH); }
    long Read(uint8_t* buffer, size_t max)
    {
        const ssize_t n = read(fd_, buffer, max);
        return n < 0 ? 0 : n;
    }
    long Write(const uint8_t* bytes, size_t count) { return write(fd_, bytes, count); }
    // True once the far end has been closed (hang-up), within the timeout.
    // Pending bytes are drained while waiting.
    bool PeerGone(int timeoutMs)
    {
        for (int waited = 0; waited <= timeoutMs; waited += 10) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 10) > 0) {
                if (p.revents & POLLHUP)
                    return true;
                uint8_t sink[256];
                Read(sink, sizeof sink);
            }
        }
        return false;
    }

private:
    int fd_;
};
