// A monitor port whose far end is a simulated receiver on a line paced in
// virtual time: what the monitor writes reaches the receiver at once, what
// the receiver sends waits in the port's input queue once it has crossed the
// line. A receiver at another bit rate than the port is heard as garbage.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/serial_device.h"
#include "sim/receiver_simulator.h"
#include "sim/virtual_line.h"

class SimulatedPort : public SerialDevice {
public:
    explicit SimulatedPort(const SimOptions& options) : receiver_(options), line_(receiver_) {}

    // Moves the line and the receiver on by seconds of virtual time.
    void Run(double seconds);
    const ReceiverSimulator& Receiver() const { return receiver_; }
    int PortBaud() const { return settings_.baud; }
    size_t LineBacklog() const { return line_.Backlog(); }
    uint64_t BytesDelivered() const { return delivered_; }

    int QueuedInputBytes() override { return static_cast<int>(input_.size()); }
    long Read(uint8_t* buffer, size_t maxBytes) override;
    long Write(const uint8_t* bytes, size_t count) override;
    bool SetLineSettings(const LineSettings& s) override;
    bool GetLineSettings(LineSettings& s) override;
    bool Purge() override;
    bool FlushTransmit() override { return true; }
    bool ClearBreak() override { return true; }

private:
    ReceiverSimulator receiver_;
    VirtualLine line_;
    std::deque<uint8_t> input_;
    std::vector<uint8_t> arrived_;
    LineSettings settings_;
    uint64_t delivered_ = 0;
};
