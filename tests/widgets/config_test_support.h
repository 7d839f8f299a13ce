// Shared steps of the configuration dialog tests: a monitor on an in-memory
// display port, reports delivered through the poll timer, and the message a
// set command should put on the line.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "support/fake_serial.h"
#include "support/monitor_gui.h"
#include "support/ui_script_gui.h"
#include "core/main_window.h"

class ConfigDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        display = StartMonitorOnFake(1);
        ASSERT_NE(display, nullptr);
        TakeWritten(*display);
    }

    // The report reaches its decoder the way a receiver's does: bytes on the line, then a tick.
    void Deliver(const std::vector<uint8_t>& message)
    {
        Feed(*display, Frame(message));
        Tick();
        TakeWritten(*display); // whatever the tick itself sent is not the dialog's
    }

    std::vector<uint8_t> Sent() { return TakeWritten(*display); }

    std::shared_ptr<FakeSerial::State> display;
    ScriptedUi ui;
};

// Helpers to spell expected messages.
inline void Append(std::vector<uint8_t>& out, std::initializer_list<uint8_t> bytes)
{
    out.insert(out.end(), bytes.begin(), bytes.end());
}

inline void AppendFill(std::vector<uint8_t>& out, size_t count, uint8_t value)
{
    out.insert(out.end(), count, value);
}
