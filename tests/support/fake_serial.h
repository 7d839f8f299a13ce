// An in-memory serial device: the test queues bytes that the port will read
// and inspects the bytes the program wrote.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "link/port_table.h"
#include "platform/serial_device.h"

// Reports the device state from Vanished(); a separate layer because
// FakeSerial's own State (the line's data) hides the name.
class GoneAwareDevice : public SerialDevice {
public:
    DeviceState State() const override { return Vanished() ? DeviceState::Gone : DeviceState::Ready; }
    virtual bool Vanished() const = 0;
};

class FakeSerial : public GoneAwareDevice {
public:
    struct State {
        std::deque<uint8_t> input;
        std::vector<uint8_t> written;
        LineSettings settings;
        int reads = 0;        // Read calls made
        bool gone = false;    // the device vanished: reads and writes fail
        // The peer: called with the bytes of each write, after they were
        // recorded; it may queue its answer in input.
        std::function<void(State& state, const uint8_t* bytes, size_t count)> responder;
    };

    explicit FakeSerial(std::shared_ptr<State> state) : state_(std::move(state)) {}

    bool Vanished() const override { return state_->gone; }
    int QueuedInputBytes() override { return state_->gone ? 0 : static_cast<int>(state_->input.size()); }
    long Read(uint8_t* buffer, size_t maxBytes) override;
    long Write(const uint8_t* bytes, size_t count) override;
    bool SetLineSettings(const LineSettings& s) override { state_->settings = s; return !state_->gone; }
    bool GetLineSettings(LineSettings& s) override { s = state_->settings; return !state_->gone; }
    bool Purge() override { state_->input.clear(); return true; }
    bool FlushTransmit() override { return true; }
    bool ClearBreak() override { return true; }

private:
    std::shared_ptr<State> state_;
};

// Puts a fake device into the slot and marks it open; returns its state.
std::shared_ptr<FakeSerial::State> AttachFakeSerial(int slot);
// Queues bytes for the port to read.
void Feed(FakeSerial::State& state, const std::vector<uint8_t>& bytes);
