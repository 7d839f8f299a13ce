// The serial device on a POSIX terminal: exclusive, non-blocking, raw.
#include "platform/serial_device.h"
#include "platform/device_openers.h"
#include "platform/network_serial.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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
    // PARMRK would double every 0xFF byte; software flow control would eat 0x11/0x13;
    // INPCK would turn a byte with a parity or framing error into 0x00.
    tio.c_iflag &= ~static_cast<tcflag_t>(PARMRK | IGNPAR | INPCK | IXON | IXOFF | IXANY);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= size | parity | CLOCAL | CREAD;
    if (s.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    return cfsetispeed(&tio, speed) == 0 && cfsetospeed(&tio, speed) == 0;
}

// Device numbers of the Unix 98 pseudo-terminals' device ends.
constexpr unsigned kPtyMajorFirst = 136;
constexpr unsigned kPtyMajorLast = 143;

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

    DeviceState State() const override { return gone_ ? DeviceState::Gone : DeviceState::Ready; }
    int NativeHandle() const override { return fd_; }
    int QuietHandle() const override { return gone_ ? -1 : fd_; }

    // One poll answers for a quiet line (most of them, most ticks): nothing
    // to read, or hung up. Only a line with input is asked how much.
    int QueuedInputBytes() override
    {
        if (gone_)
            return 0;
        pollfd p{fd_, POLLIN, 0};
        const int ready = poll(&p, 1, 0);
        const bool hungUp = ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
        int queued = 0;
        if (ready > 0 && (p.revents & POLLIN) && (ioctl(fd_, FIONREAD, &queued) != 0 || queued < 0)) {
            NoteFailure();
            return 0;
        }
        // A hung-up line reads nothing and reports no error; what it left queued is read first.
        if (queued == 0 && hungUp)
            gone_ = true;
        return queued;
    }

    long Read(uint8_t* buffer, size_t maxBytes) override
    {
        if (gone_)
            return -1;
        return maxBytes == 0 ? 0 : NonBlocking([&] { return read(fd_, buffer, maxBytes); });
    }

    long Write(const uint8_t* bytes, size_t count) override
    {
        if (gone_)
            return -1;
        return count == 0 ? 0 : NonBlocking([&] { return write(fd_, bytes, count); });
    }

    bool SetLineSettings(const LineSettings& settings) override
    {
        termios tio{};
        if (tcgetattr(fd_, &tio) != 0 || !BuildTermios(settings, tio))
            return false;
        if (tcsetattr(fd_, TCSANOW, &tio) != 0 && !PseudoTerminalTook(tio))
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
    // The C library reads the settings back and fails when parity or the data
    // size did not stick, which a pseudo-terminal never keeps: there the
    // speed and stop bits count (as the monitor, which ignores the result).
    bool PseudoTerminalTook(const termios& wanted) const
    {
        struct stat st {};
        termios now{};
        if (fstat(fd_, &st) != 0 || !S_ISCHR(st.st_mode) || major(st.st_rdev) < kPtyMajorFirst ||
            major(st.st_rdev) > kPtyMajorLast || tcgetattr(fd_, &now) != 0)
            return false;
        return cfgetospeed(&now) == cfgetospeed(&wanted) && (now.c_cflag & CSTOPB) == (wanted.c_cflag & CSTOPB);
    }

    // Runs one non-blocking read or write: the count, 0 when the line has
    // nothing or no room now, -1 when the device failed.
    template <typename Op>
    long NonBlocking(Op op)
    {
        for (;;) {
            const ssize_t n = op();
            if (n >= 0)
                return static_cast<long>(n);
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return 0;
            NoteFailure();
            return -1;
        }
    }

    // The device is gone when the adapter was pulled or the peer hung up;
    // other errors (a refused ioctl) leave it usable.
    void NoteFailure()
    {
        if (errno == EIO || errno == ENXIO || errno == ENODEV || errno == EBADF)
            gone_ = true;
    }

    int fd_;
    bool gone_ = false;
};

// Classifies errno after a failed open or lock; the words are the system's
// own except where its words would mislead (a held lock is a busy device).
OpenError FailureFromErrno(int err)
{
    switch (err) {
    case ENOENT:
    case ENXIO:
    case ENODEV: return {OpenFailure::Missing, std::strerror(err)};
    case EACCES:
    case EPERM: return {OpenFailure::Permission, std::strerror(err)};
    case EBUSY:
    case EWOULDBLOCK: return {OpenFailure::Busy, std::strerror(EBUSY)};
    case ENOTTY: return {OpenFailure::Other, "Not a serial device"};
    default: return {OpenFailure::Other, std::strerror(err)};
    }
}

} // namespace

namespace {

std::map<std::string, DeviceOpener>& Openers()
{
    static std::map<std::string, DeviceOpener> openers;
    return openers;
}

} // namespace

void SetDeviceOpener(const std::string& prefix, DeviceOpener opener)
{
    if (opener)
        Openers()[prefix] = opener;
    else
        Openers().erase(prefix);
}

bool IsReplayPath(const std::string& path) { return path.rfind(kReplayPathPrefix, 0) == 0; }

std::unique_ptr<SerialDevice> OpenSerialDevice(const std::string& path, OpenError& error)
{
    error = {};
    for (const auto& [prefix, opener] : Openers())
        if (path.rfind(prefix, 0) == 0)
            return opener(path, error);
    if (IsNetworkPath(path)) {
        std::string why;
        auto device = OpenNetworkPath(path, &why);
        if (!device)
            error = {OpenFailure::Other, why};
        return device;
    }
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = FailureFromErrno(errno);
        return nullptr;
    }
    // TIOCEXCL keeps out other users' opens; the lock also keeps out root and
    // other instances of this program.
    if (ioctl(fd, TIOCEXCL) != 0 || flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = FailureFromErrno(errno);
        close(fd);
        return nullptr;
    }
    auto device = std::make_unique<PosixSerial>(fd);
    // A refused configuration does not undo the open; the caller may set it again.
    device->SetLineSettings(LineSettings{});
    return device;
}

std::unique_ptr<SerialDevice> OpenSerialDevice(const std::string& path, std::string* error)
{
    OpenError failure;
    auto device = OpenSerialDevice(path, failure);
    if (!device && error)
        *error = "cannot open " + path + ": " + failure.reason;
    return device;
}

void FindQuietDevices(const SerialDevice* const* devices, size_t count, bool* quiet)
{
    // poll skips a negative descriptor: a device that cannot be asked keeps its place.
    std::vector<pollfd> watched(count, pollfd{-1, POLLIN, 0});
    for (size_t i = 0; i < count; ++i)
        watched[i].fd = devices[i] ? devices[i]->QuietHandle() : -1;
    const bool asked = count > 0 && poll(watched.data(), count, 0) >= 0; // a failed poll proves nothing
    for (size_t i = 0; i < count; ++i)
        quiet[i] = asked && watched[i].fd >= 0 && watched[i].revents == 0;
}
