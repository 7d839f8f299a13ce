#include "sim/pty_line.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct SpeedRow {
    speed_t code;
    int baud;
};

constexpr SpeedRow kSpeeds[] = {{B110, 110},     {B300, 300},     {B600, 600},     {B1200, 1200},
                                {B2400, 2400},   {B4800, 4800},   {B9600, 9600},   {B19200, 19200},
                                {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};

bool MakeRaw(int fd)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD | PARENB | PARODD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

} // namespace

PtyLine::~PtyLine()
{
    if (slave_ >= 0)
        close(slave_);
    if (master_ >= 0)
        close(master_);
}

bool PtyLine::Open(std::string* error)
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        if (error)
            *error = std::string("pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    const char* name = ptsname(master_);
    if (!name) {
        if (error)
            *error = "pseudo-terminal has no name";
        return false;
    }
    path_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0 || !MakeRaw(slave_)) {
        if (error)
            *error = path_ + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

long PtyLine::Read(uint8_t* buffer, size_t maxBytes)
{
    const ssize_t got = read(master_, buffer, maxBytes);
    if (got >= 0)
        return got;
    return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
}

long PtyLine::Write(const uint8_t* bytes, size_t count)
{
    const ssize_t put = write(master_, bytes, count);
    if (put >= 0)
        return put;
    return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
}

int PtyLine::PeerBaud() const
{
    termios t{};
    if (slave_ < 0 || tcgetattr(slave_, &t) != 0)
        return 0;
    const speed_t code = cfgetospeed(&t);
    for (const SpeedRow& row : kSpeeds)
        if (row.code == code)
            return row.baud;
    return 0;
}
