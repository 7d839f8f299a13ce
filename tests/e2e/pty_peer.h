// A pseudo-terminal whose far end plays the receiver: the program opens the
// device path, the test writes and reads the peer end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PtyPeer {
public:
    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool ok() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    void Write(const std::vector<uint8_t>& bytes);
    // Everything that arrives within the wait (milliseconds).
    std::vector<uint8_t> Read(int waitMs = 200);

private:
    int fd_ = -1;
    std::string path_;
};

// True when the serial layer can open a pseudo-terminal in this build.
bool SerialDevicesAvailable();
