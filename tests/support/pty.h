// A pseudo-terminal pair for tests: the program opens the device end by its
// path, the test holds the other (master) end and plays the peer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <termios.h>

class PtyPair {
public:
    // Opens a new pair and makes it raw at once; ok() tells whether that worked.
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return master_ >= 0 && !devicePath_.empty(); }
    // Path of the device end, e.g. /dev/pts/7.
    const std::string& devicePath() const { return devicePath_; }
    int masterFd() const { return master_; }

    // Writes all bytes from the peer's side; false when they cannot all go within the timeout.
    bool Write(const std::vector<uint8_t>& bytes, int timeoutMs = 1000);
    // Reads from the peer's side until count bytes arrived or the timeout passed; returns what came.
    std::vector<uint8_t> Read(size_t count, int timeoutMs = 1000);
    // Everything that arrives within the timeout (stops early after a quiet gap of quietMs).
    std::vector<uint8_t> ReadAvailable(int timeoutMs = 200, int quietMs = 20);

    // The device end's terminal settings, seen through the master.
    bool DeviceTermios(termios& tio) const;

    // Closes the peer's end: the device end sees a vanished peer.
    void CloseMaster();

private:
    int master_ = -1;
    std::string devicePath_;
};

// Waits until fd is readable (or hung up) for at most timeoutMs; true when it is.
bool WaitReadable(int fd, int timeoutMs);

// Points link (a stand-in for a /dev/serial/by-id/ name) at the pair's device end.
void PointLink(const std::string& link, const PtyPair& pty);
// Closes the peer's end and removes the link the program reached it through,
// as a pulled adapter's node goes away; a slot waiting to reopen then cannot
// take a new pseudo-terminal (of another test) that reuses the number.
void Unplug(PtyPair& pty, const std::string& link);
