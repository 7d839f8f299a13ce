// The serial device on a POSIX terminal: exclusive, non-blocking, raw.
#include "platform/serial_device.h"
#include "platform/network_serial.h"

#include <cerrno>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct BaudEntry {
    int baud;
    speed_t speed;
};

// Standard rates only; anything else is refused rather than rounded.
constexpr BaudEntry kBauds[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool BaudToSpeed(int baud, speed_t& speed)
{
    for (const BaudEntry& e : kBauds) {
        if (e.baud == baud) {
            speed = e.speed;
            return true;
        }
    }
    return false;
}

int SpeedToBaud(speed_t speed)
{
    for (const BaudEntry& e : kBauds) {
        if (e.speed == speed)
            return e.baud;
    }
    return 0;
}

bool DataBitsToFlag(int dataBits, tcflag_t& flag)
{
    switch (dataBits) {
    case 5: flag = CS5; return true;
    case 6: flag = CS6; return true;
    case 7: flag = CS7; return true;
    case 8: flag = CS8; return true;
    default: return false;
    }
}

int FlagToDataBits(tcflag_t cflag)
{
    switch (cflag & CSIZE) {
    case CS5: return 5;
    case CS6: return 6;
    case CS7: return 7;
    default: return 8;
    }
}

bool ParityToFlags(int parity, tcflag_t& flags)
{
    switch (parity) {
    case 0: flags = 0; return true;
    case 1: flags = PARENB | PARODD; return true;
    case 2: flags = PARENB; return true;
    default: return false;
    }
}

// Builds the termios for the settings from the current one; false when a value is not supported.
bool BuildTermios(const LineSettings& s, termios& tio)
{
    speed_t speed = 0;
    tcflag_t size = 0;
    tcflag_t parity = 0;
    if (!BaudToSpeed(s.baud, speed) || !DataBitsToFlag(s.dataBits, size) || !ParityToFlags(s.parity, parity))
        return false;
    if (s.stopBits != 0 && s.stopBits != 2)
        return false;

    cfmakeraw(&tio);
    // PARMRK would double every 0xFF byte; software flow control would eat 0x11/0x13.
    tio.c_iflag &= ~static_cast<tcflag_t>(PARMRK | IGNPAR | IXON | IXOFF | IXANY);
    tio.c_iflag |= INPCK;
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= size | parity | CLOCAL | CREAD;
    if (s.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    return cfsetispeed(&tio, speed) == 0 && cfsetospeed(&tio, speed) == 0;
}

class PosixSerial : public SerialDevice {
public:
    explicit PosixSerial(int fd) : fd_(fd) {}
    ~PosixSerial() override
    {
        // Leave the device openable for the next holder.
        ioctl(fd_, TIOCNXCL);
        flock(fd_, LOCK_UN);
        close(fd_);
    }
    PosixSerial(const PosixSerial&) = delete;
    PosixSerial& operator=(const PosixSerial&) = delete;

    int QueuedInputBytes() override
    {
        int queued = 0;
        if (ioctl(fd_, FIONREAD, &queued) != 0 || queued < 0)
            return 0;
        return queued;
    }

    long Read(uint8_t* buffer, size_t maxBytes) override
    {
        if (maxBytes == 0)
            return 0;
        for (;;) {
            const ssize_t n = read(fd_, buffer, maxBytes);
            if (n >= 0)
                return static_cast<long>(n);
            if (errno == EINTR)
                continue;
            return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
        }
    }

    long Write(const uint8_t* bytes, size_t count) override;

    bool SetLineSettings(const LineSettings& settings) override
    {
        termios tio{};
        if (tcgetattr(fd_, &tio) != 0 || !BuildTermios(settings, tio))
            return false;
        if (tcsetattr(fd_, TCSANOW, &tio) != 0)
            return false;
        // Devices without modem lines (pseudo-terminals) answer ENOTTY: nothing to hold on.
        int lines = TIOCM_DTR | TIOCM_RTS;
        ioctl(fd_, TIOCMBIS, &lines);
        return true;
    }

    bool GetLineSettings(LineSettings& settings) override
    {
        termios tio{};
        if (tcgetattr(fd_, &tio) != 0)
            return false;
        settings.baud = SpeedToBaud(cfgetospeed(&tio));
        settings.dataBits = FlagToDataBits(tio.c_cflag);
        settings.parity = (tio.c_cflag & PARENB) ? ((tio.c_cflag & PARODD) ? 1 : 2) : 0;
        settings.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 0;
        return true;
    }

    bool Purge() override { return tcflush(fd_, TCIOFLUSH) == 0; }
    bool FlushTransmit() override { return tcdrain(fd_) == 0; }
    bool ClearBreak() override { return ioctl(fd_, TIOCCBRK) == 0; }

private:
    // Waits for room to write until the deadline; false when the time is up or the device failed.
    bool WaitWritable(std::chrono::steady_clock::time_point deadline);

    int fd_;
};

constexpr auto kWritePerByte = std::chrono::milliseconds(10);

bool PosixSerial::WaitWritable(std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p{fd_, POLLOUT, 0};
        const int r = poll(&p, 1, static_cast<int>(left.count()));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
            return false;
        return true;
    }
}

long PosixSerial::Write(const uint8_t* bytes, size_t count)
{
    const auto deadline = std::chrono::steady_clock::now() + kWritePerByte * static_cast<long>(count);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = write(fd_, bytes + done, count - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return done > 0 ? static_cast<long>(done) : -1;
        if (!WaitWritable(deadline))
            break;
    }
    return static_cast<long>(done);
}

std::string ErrorText(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

} // namespace

std::unique_ptr<SerialDevice> OpenSerialDevice(const std::string& path, std::string* error)
{
    if (IsNetworkPath(path))
        return OpenNetworkPath(path, error);
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = ErrorText("cannot open", path);
        return nullptr;
    }
    // TIOCEXCL keeps out other users' opens; the lock also keeps out root and
    // other instances of this program.
    if (ioctl(fd, TIOCEXCL) != 0 || flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (error)
            *error = ErrorText("device busy or not a terminal:", path);
        close(fd);
        return nullptr;
    }
    auto device = std::make_unique<PosixSerial>(fd);
    // A refused configuration does not undo the open; the caller may set it again.
    device->SetLineSettings(LineSettings{});
    return device;
}
