// Sixteen receivers on pseudo-terminals, the poll timer running for real:
// one offers 64 kB/s (more than one read of a tty per tick can take), the
// fifteen others report once a second. Every frame of the fast port is
// parsed, and none of the slow ports' reports is lost or starved.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "core/main_window.h"
#include "monitor/monitor.h"
#include "core/startup.h"
#include "link/port_table.h"
#include "platform/port_enumeration.h"
#include "support/monitor_gui.h"
#include "support/pty.h"
#include "support/ui_script_gui.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

// A 0x4A position report (latitude 0.8 rad) whose time of fix is tow.
Bytes Position(float tow)
{
    Bytes m(21, 0);
    m[0] = 0x4A;
    const auto put = [&](size_t at, float v) {
        const auto bits = std::bit_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            m[at + static_cast<size_t>(i)] = static_cast<uint8_t>(bits >> (24 - 8 * i));
    };
    put(1, 0.8f);
    put(17, tow);
    return Frame(m);
}

int FromEnvironment(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    return text && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

TEST(InputRate, A64kBPerSecondPortIsReadWholeBesideFifteenSlowOnes)
{
    // bench/input_rate.sh offers it for longer and at higher rates.
    const int kSeconds = FromEnvironment("JX_INPUT_SECONDS", 4);
    const auto kBytesPerSecond = static_cast<size_t>(FromEnvironment("JX_INPUT_RATE", 64 * 1000));
    constexpr int kFast = 1;               // COM2, monitored; COM1 is the display port
    std::vector<std::unique_ptr<PtyPair>> receivers;
    for (int com = 1; com <= kPortSlots; ++com) {
        receivers.push_back(std::make_unique<PtyPair>());
        ASSERT_TRUE(receivers.back()->ok());
        SetComDevice(com, receivers.back()->devicePath());
    }
    ScriptedUi ui;
    ASSERT_EQ(StartMonitor({"-c1"}), StartResult::Run);
    Monitor::Instance().SetAutoQuery(false);
    for (int slot = 1; slot < kPortSlots; ++slot) {
        ASSERT_EQ(OpenSlot(slot), 0);
        PortTable[static_cast<size_t>(slot)].monitored = 1;
    }

    // The fast receiver's frames, a tenth of a second's worth at a time.
    Bytes burst;
    for (float tow = 0; burst.size() < kBytesPerSecond / 10; ++tow) {
        const Bytes frame = Position(tow);
        burst.insert(burst.end(), frame.begin(), frame.end());
    }
    const uint64_t framesPerBurst = burst.size() / Position(0).size();
    std::atomic<uint64_t> framesSent{0};
    std::atomic<bool> writing{true};
    std::thread fast([&] {
        auto next = Clock::now();
        for (int i = 0; i < kSeconds * 10 && writing; ++i) {
            if (!receivers[kFast]->Write(burst, 2000))
                break;
            framesSent += framesPerBurst;
            next += std::chrono::milliseconds(100);
            std::this_thread::sleep_until(next);
        }
        writing = false;
    });

    Monitor::Instance().Start();
    const auto start = Clock::now();
    int slowSent = 0;
    while (writing || (PortTable[kFast].traffic.packets < framesSent && Clock::now() - start < std::chrono::seconds(kSeconds + 3))) {
        if (Clock::now() - start >= std::chrono::seconds(slowSent) && slowSent < kSeconds) {
            ++slowSent;
            for (int slot = 0; slot < kPortSlots; ++slot) {
                if (slot == kFast)
                    continue;
                EXPECT_TRUE(receivers[static_cast<size_t>(slot)]->Write(Position(static_cast<float>(slowSent))));
            }
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    // The last slow reports: a few more ticks.
    const auto settle = Clock::now();
    while (Clock::now() - settle < std::chrono::milliseconds(600))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    Monitor::Instance().Stop();
    fast.join();

    EXPECT_EQ(framesSent, framesPerBurst * kSeconds * 10) << "the writer was held up past its timeout";
    EXPECT_EQ(PortTable[kFast].traffic.packets, framesSent.load());
    for (int slot = 0; slot < kPortSlots; ++slot) {
        if (slot == kFast)
            continue;
        EXPECT_EQ(PortTable[static_cast<size_t>(slot)].traffic.packets, static_cast<uint64_t>(kSeconds))
            << "COM" << slot + 1;
    }
}

} // namespace
