// The service manager's notification socket ($NOTIFY_SOCKET): READY=1 once
// the daemon serves, STATUS= lines, and WATCHDOG=1 from the tick so a hung
// daemon is restarted. Without the variable (started by hand) every call does nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class ServiceNotifier {
public:
    // Reads $NOTIFY_SOCKET and $WATCHDOG_USEC (honoured only when
    // $WATCHDOG_PID is unset or names this process).
    ServiceNotifier();
    ~ServiceNotifier();
    ServiceNotifier(const ServiceNotifier&) = delete;
    ServiceNotifier& operator=(const ServiceNotifier&) = delete;

    bool Active() const { return fd_ >= 0; }
    // Sends one datagram of newline-separated assignments; false when it did not go.
    bool Send(const std::string& message);
    void Ready(const std::string& status) { Send("READY=1\nSTATUS=" + status); }
    void Status(const std::string& status) { Send("STATUS=" + status); }
    void Stopping() { Send("STOPPING=1"); }
    // Sends WATCHDOG=1 when half the watchdog interval has passed since the last (monotonic ms).
    void KeepAlive(int64_t nowMs);
    std::optional<int64_t> WatchdogIntervalMs() const { return watchdogMs_; }

private:
    int fd_ = -1;
    std::string address_;
    std::optional<int64_t> watchdogMs_;
    std::optional<int64_t> lastKeepAliveMs_;
};
