#include "platform/network_serial.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <vector>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/host_resolver.h"
#include "platform/telnet_codec.h"

namespace {

// Drops the taken front of a queue once it is all taken or at least half of it.
void Compact(std::vector<uint8_t>& queue, size_t& taken)
{
    if (taken == 0 || (taken < queue.size() && taken < queue.size() / 2))
        return;
    queue.erase(queue.begin(), queue.begin() + static_cast<long>(taken));
    taken = 0;
}

constexpr size_t kOutLimit = 4096;        // like a serial driver's transmit queue
constexpr size_t kInLimit = 64 * 1024;    // data kept unread at most
constexpr size_t kRoundBytes = 64 * 1024; // raw bytes one service round takes in at most
constexpr auto kConnectLimit = std::chrono::seconds(10);
// A server's Telnet control traffic is answered within a budget: a real one
// negotiates a handful of options once, reads our answers and sends short
// subnegotiations. One beyond it would cost unbounded memory or time.
constexpr uint64_t kAnswersPerSecond = 20;
constexpr size_t kControlBacklog = 4096; // answers the server left unread
constexpr size_t kSubnegotiationLimit = 4096;
constexpr const char kFloodReason[] = "server floods option negotiation";

class NetworkSerial : public SerialDevice {
public:
    explicit NetworkSerial(const NetworkUrl& url)
        : url_(url), where_(Where(url)), resolver_(url.host, url.port),
          started_(std::chrono::steady_clock::now())
    {
        Service();
    }
    ~NetworkSerial() override { CloseSocket(); }
    NetworkSerial(const NetworkSerial&) = delete;
    NetworkSerial& operator=(const NetworkSerial&) = delete;

    DeviceState State() const override { return state_; }
    int NativeHandle() const override { return fd_; }
    std::string GoneReason() const override { return reason_; }

    int QueuedInputBytes() override
    {
        Service();
        return static_cast<int>(Unread());
    }

    long Read(uint8_t* buffer, size_t maxBytes) override
    {
        if (Unread() == 0)
            Service();
        if (Unread() == 0)
            return state_ == DeviceState::Gone ? -1 : 0;
        const size_t n = std::min(maxBytes, Unread());
        std::copy_n(in_.begin() + static_cast<long>(inTaken_), n, buffer);
        inTaken_ += n;
        return static_cast<long>(n);
    }

    long Write(const uint8_t* bytes, size_t count) override
    {
        Service();
        if (state_ == DeviceState::Gone)
            return -1;
        size_t taken = 0;
        for (; taken < count; ++taken) {
            const size_t size = url_.telnet && bytes[taken] == telnet::IAC ? 2 : 1;
            if (Unsent() + size > kOutLimit)
                break;
            out_.insert(out_.end(), size, bytes[taken]);
        }
        Flush();
        return static_cast<long>(taken);
    }

    bool SetLineSettings(const LineSettings& settings) override
    {
        if (!url_.telnet || codec_.ComPortRefused())
            return false; // a raw stream has no line to set from here
        std::vector<uint8_t> commands;
        if (!TelnetCodec::LineCommands(settings, commands))
            return false;
        requested_ = settings;
        if (codec_.ComPortAgreed())
            SendControl(commands);
        else
            lineWanted_ = true; // sent as soon as the server agrees to the option
        return true;
    }

    bool GetLineSettings(LineSettings& settings) override
    {
        Service();
        if (!url_.telnet || !requested_)
            return false;
        settings = codec_.ServerReportedBaud() ? codec_.ServerSettings() : *requested_;
        return true;
    }

    bool Purge() override
    {
        Service();
        in_.clear();
        inTaken_ = 0;
        if (url_.telnet && codec_.ComPortAgreed())
            SendControl(TelnetCodec::PurgeCommand());
        return state_ != DeviceState::Gone;
    }

    bool FlushTransmit() override
    {
        Service();
        return Unsent() == 0;
    }

    bool ClearBreak() override { return state_ != DeviceState::Gone; }

private:
    static std::string Where(const NetworkUrl& url)
    {
        const bool v6 = url.host.find(':') != std::string::npos;
        return (v6 ? "[" + url.host + "]" : url.host) + ":" + std::to_string(url.port);
    }

    size_t Unread() const { return in_.size() - inTaken_; }
    size_t Unsent() const { return out_.size() - outSent_; }
    void Service();
    void CheckControlBudget();
    void Connect();
    void CheckConnected();
    void StartAddress();
    void Connected();
    void Flush();
    void Receive();
    void SendControl(const std::vector<uint8_t>& bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
    void Fail(const std::string& reason)
    {
        CloseSocket();
        state_ = DeviceState::Gone;
        reason_ = reason;
    }
    void CloseSocket()
    {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }

    NetworkUrl url_;
    std::string where_;
    HostResolver resolver_;
    std::chrono::steady_clock::time_point started_;
    std::vector<SocketAddress> addresses_;
    size_t next_ = 0;
    bool resolved_ = false;
    int fd_ = -1;
    DeviceState state_ = DeviceState::Connecting;
    std::string reason_;
    std::string lastError_;
    // Both queues are taken from the front by an offset; the taken part is
    // dropped when the queue empties or outgrows what is left.
    std::vector<uint8_t> in_;
    size_t inTaken_ = 0;
    std::vector<uint8_t> out_;
    size_t outSent_ = 0;
    TelnetCodec codec_;
    std::chrono::steady_clock::time_point budgetStart_{};
    uint64_t answersBefore_ = 0; // answers made before budgetStart_
    std::optional<LineSettings> requested_;
    bool lineWanted_ = false;
};

void NetworkSerial::Service()
{
    if (state_ == DeviceState::Connecting)
        Connect();
    if (state_ != DeviceState::Ready)
        return;
    Flush();
    Receive();
    CheckControlBudget();
    if (state_ != DeviceState::Ready)
        return;
    if (lineWanted_ && codec_.ComPortAgreed()) {
        lineWanted_ = false;
        std::vector<uint8_t> commands;
        TelnetCodec::LineCommands(*requested_, commands);
        SendControl(commands);
    }
    Flush();
}

void NetworkSerial::CheckControlBudget()
{
    if (!url_.telnet)
        return;
    // User data is held to kOutLimit by Write; what lies beyond it is control.
    if (codec_.NegotiationAnswers() - answersBefore_ > kAnswersPerSecond || Unsent() > kOutLimit + kControlBacklog ||
        codec_.OpenSubnegotiationBytes() > kSubnegotiationLimit)
        return Fail(kFloodReason);
    const auto now = std::chrono::steady_clock::now();
    if (now - budgetStart_ >= std::chrono::seconds(1)) {
        budgetStart_ = now;
        answersBefore_ = codec_.NegotiationAnswers();
    }
}

void NetworkSerial::Connect()
{
    if (!resolved_) {
        if (!resolver_.Done())
            return;
        resolved_ = true;
        addresses_ = resolver_.Addresses();
        if (addresses_.empty())
            return Fail(resolver_.Error().empty() ? "cannot resolve " + url_.host : resolver_.Error());
        StartAddress();
    }
    if (state_ == DeviceState::Connecting && fd_ >= 0)
        CheckConnected();
    if (state_ == DeviceState::Connecting && std::chrono::steady_clock::now() - started_ > kConnectLimit)
        Fail("no answer from " + where_ + " within 10 s");
}

// Starts a connection to the next address; on to the one after when it fails at once.
void NetworkSerial::StartAddress()
{
    while (next_ < addresses_.size()) {
        const SocketAddress& a = addresses_[next_++];
        fd_ = socket(a.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd_ < 0) {
            lastError_ = std::strerror(errno);
            continue;
        }
        const int on = 1;
        setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        if (connect(fd_, reinterpret_cast<const sockaddr*>(&a.storage), a.length) == 0)
            return Connected();
        if (errno == EINPROGRESS)
            return;
        lastError_ = std::strerror(errno);
        CloseSocket();
    }
    Fail("cannot connect to " + where_ + ": " + lastError_);
}

void NetworkSerial::CheckConnected()
{
    pollfd p{fd_, POLLOUT, 0};
    if (poll(&p, 1, 0) <= 0)
        return;
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        error = errno;
    if (error == 0)
        return Connected();
    lastError_ = std::strerror(error);
    CloseSocket();
    StartAddress();
}

void NetworkSerial::Connected()
{
    state_ = DeviceState::Ready;
    budgetStart_ = std::chrono::steady_clock::now();
    if (url_.telnet) {
        const std::vector<uint8_t> greeting = codec_.Greeting();
        out_.insert(out_.begin() + static_cast<long>(outSent_), greeting.begin(), greeting.end());
    }
}

void NetworkSerial::Flush()
{
    while (Unsent() > 0 && state_ == DeviceState::Ready) {
        const ssize_t n = send(fd_, out_.data() + outSent_, Unsent(), MSG_NOSIGNAL);
        if (n > 0) {
            outSent_ += static_cast<size_t>(n);
            Compact(out_, outSent_);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                Fail("connection to " + where_ + " lost: " + std::strerror(errno));
            return;
        }
    }
}

// One round takes at most kRoundBytes from the socket, however few data bytes
// they hold, and nothing while kInLimit data bytes wait to be read.
void NetworkSerial::Receive()
{
    uint8_t chunk[4096];
    std::vector<uint8_t> replies;
    Compact(in_, inTaken_);
    size_t raw = 0;
    while (state_ == DeviceState::Ready && raw < kRoundBytes && Unread() < kInLimit) {
        const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
        if (n > 0)
            raw += static_cast<size_t>(n);
        if (n == 0) {
            Fail("connection closed by " + where_);
        } else if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                Fail("connection to " + where_ + " lost: " + std::strerror(errno));
            break;
        } else if (url_.telnet) {
            codec_.Decode(chunk, static_cast<size_t>(n), in_, replies);
        } else {
            in_.insert(in_.end(), chunk, chunk + n);
        }
    }
    SendControl(replies);
}

} // namespace

std::unique_ptr<SerialDevice> OpenNetworkSerial(const NetworkUrl& url)
{
    auto device = std::make_unique<NetworkSerial>(url);
    // Like a serial device, an RFC 2217 port starts at 9600 8-O-1 (sent once the server agrees).
    device->SetLineSettings(LineSettings{});
    return device;
}

std::unique_ptr<SerialDevice> OpenNetworkPath(const std::string& path, std::string* error)
{
    const std::optional<NetworkUrl> url = ParseNetworkUrl(path, error);
    return url ? OpenNetworkSerial(*url) : nullptr;
}
