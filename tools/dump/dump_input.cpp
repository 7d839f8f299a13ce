#include "dump_input.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <istream>
#include <ostream>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "dump_run.h"
#include "platform/network_url.h"

namespace {

constexpr size_t kChunk = 256 * 1024;
// Without a wake descriptor the stop flag is looked at this often (ms).
constexpr int kFlagPollMs = 20;

bool Stopped(const DumpStop& stop) { return stop.flag && *stop.flag; }

// Waits until fd has something to read (or it is -1 and a while has passed),
// or a stop is requested. False on a stop.
bool WaitReadable(int fd, const DumpStop& stop)
{
    pollfd fds[2] = {{fd, POLLIN, 0}, {stop.wakeFd, POLLIN, 0}};
    while (!Stopped(stop)) {
        const int n = ::poll(fds, 2, stop.wakeFd < 0 || fd < 0 ? kFlagPollMs : -1);
        if (n > 0 && fds[0].revents)
            return true;
        if (n > 0 && fds[1].revents) // the wake pipe without the flag: a spurious byte
            return !Stopped(stop);
        if (n == 0 && fd < 0)
            return true;
    }
    return false;
}

// Reads a descriptor to its end or a stop. False when a read failed.
bool FeedDescriptor(int fd, Dumper& dumper, const DumpStop& stop)
{
    std::vector<uint8_t> buffer(kChunk);
    while (WaitReadable(fd, stop)) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got > 0)
            dumper.Feed(buffer.data(), static_cast<size_t>(got));
        else if (got == 0)
            return true;
        else if (errno != EAGAIN && errno != EINTR)
            return false;
    }
    return true;
}

void FeedStream(std::istream& in, Dumper& dumper, const DumpStop& stop)
{
    std::vector<char> buffer(kChunk);
    while (in && !Stopped(stop)) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const std::streamsize got = in.gcount();
        if (got <= 0)
            break;
        dumper.Feed(reinterpret_cast<const uint8_t*>(buffer.data()), static_cast<size_t>(got));
    }
}

// A raw TCP source has no line settings of its own: the device server's apply.
bool ApplyLine(SerialDevice& device, const std::string& path, const LineSettings& line, std::ostream& err)
{
    if (IsRawTcpPath(path) || device.SetLineSettings(line))
        return true;
    err << "zelk_dump: " << path << ": the port refuses " << line.baud << " bit/s, " << line.dataBits
        << " data bits, parity " << "NOE"[line.parity] << ", " << (line.stopBits == 2 ? 2 : 1)
        << " stop bits; give the line's settings with --baud N and --line DPS (for example --baud 9600 --line 8N1)\n";
    return false;
}

bool FeedDevice(const std::string& path, const LineSettings& line, Dumper& dumper, std::ostream& err,
                const DumpStop& stop)
{
    std::string error;
    auto device = OpenSerialDevice(path, &error);
    if (!device) {
        err << "zelk_dump: " << path << ": " << error << '\n';
        return false;
    }
    if (!ApplyLine(*device, path, line, err))
        return false;
    // A network device connects and negotiates inside its reads: poll it on a short period.
    const int watchFd = IsNetworkPath(path) ? -1 : device->NativeHandle();
    bool reached = false; // a network source that was never reached is a failure
    std::vector<uint8_t> buffer(kChunk);
    while (WaitReadable(watchFd, stop)) {
        reached = reached || device->State() == DeviceState::Ready;
        const long got = device->Read(buffer.data(), buffer.size());
        if (got < 0) { // the device went away: keep what was decoded
            if (!device->GoneReason().empty())
                err << "zelk_dump: " << path << ": " << device->GoneReason() << '\n';
            return reached || !IsNetworkPath(path);
        }
        if (got > 0) {
            reached = true;
            dumper.Feed(buffer.data(), static_cast<size_t>(got));
            dumper.WritePending();
        }
    }
    return true;
}

bool IsDevice(const std::string& path)
{
    std::error_code ec;
    return IsNetworkPath(path) || (path.rfind("/dev/", 0) == 0 && std::filesystem::is_character_file(path, ec));
}

// A FIFO opened without waiting reads as ended while nobody has it open for
// writing; a writer that is waiting for a reader already counts.
bool FifoHasWriter(int fd, Dumper& dumper)
{
    uint8_t byte = 0;
    const ssize_t got = ::read(fd, &byte, 1);
    if (got == 1)
        dumper.Feed(&byte, 1);
    return got != 0;
}

bool FeedFile(const std::string& path, Dumper& dumper, std::ostream& err, const DumpStop& stop)
{
    // Non-blocking, so that opening a FIFO never waits for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        err << "zelk_dump: cannot open " << path << ": " << std::strerror(errno) << '\n';
        return false;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    if (ok && S_ISFIFO(st.st_mode) && !FifoHasWriter(fd, dumper)) {
        err << "zelk_dump: " << path << ": a FIFO with no writer (start the writer first)\n";
        ok = false;
    } else if (ok && !FeedDescriptor(fd, dumper, stop)) {
        err << "zelk_dump: cannot read " << path << ": " << std::strerror(errno) << '\n';
        ok = false;
    }
    ::close(fd);
    return ok;
}

} // namespace

bool FeedInput(const std::string& source, const LineSettings& line, std::istream& in, int stdinFd, Dumper& dumper,
               std::ostream& err, const DumpStop& stop)
{
    if (source == "-") {
        if (stdinFd < 0) {
            FeedStream(in, dumper, stop);
            return true;
        }
        if (!FeedDescriptor(stdinFd, dumper, stop)) {
            err << "zelk_dump: cannot read standard input: " << std::strerror(errno) << '\n';
            return false;
        }
        return true;
    }
    if (IsDevice(source))
        return FeedDevice(source, line, dumper, err, stop);
    return FeedFile(source, dumper, err, stop);
}
