// The receiver settings each port last reported (I/O options, datum, filters,
// GPS configuration, serial settings of receiver port 0). Written by the
// settings decoders whether or not a dialog exists; the configuration dialogs
// read the display port's record when they open, so nothing that arrived
// while they were closed is lost.
#pragma once

#include <array>
#include <cstdint>

#include "link/packets.h"
#include "link/port_table.h"

// Bits of the I/O option bytes (0x35, 0x55).
namespace IoOptionBits {
constexpr uint8_t kEcef = 0x01; // position and velocity bytes
constexpr uint8_t kLla = 0x02;
constexpr uint8_t kMslOut = 0x04;
constexpr uint8_t kMslIn = 0x08;
constexpr uint8_t kDouble = 0x10;
constexpr uint8_t kEnu = 0x02; // velocity byte
constexpr uint8_t kUtc = 0x01; // timing byte
} // namespace IoOptionBits

enum class SettingsKind : uint8_t { IoOptions, Datum, Filters, Gps, Serial };

// One received setting: its value and the revision it arrived with (0: none yet).
template <class T>
struct Received {
    T value{};
    uint32_t revision = 0;
};

struct PortSettingsRecord {
    Received<Report55> ioOptions;
    Received<Report8F15> datum;
    Received<Report70> filters;
    Received<ReportBB> gps;
    Received<ReportBC> serial; // receiver port 0 only
};

extern std::array<PortSettingsRecord, kPortSlots> PortSettings;

// A revision number not given before in this run (never 0).
uint32_t NextSettingsRevision();

// Stores a setting for the slot under a new revision.
template <class T>
void StoreSetting(int slot, Received<T> PortSettingsRecord::*field, const T& value)
{
    PortSettings[static_cast<size_t>(slot)].*field = Received<T>{value, NextSettingsRevision()};
}

// What one view of one setting has shown: it takes the display port's value
// only when that is another port's or a newer revision, so edits the user has
// not sent survive a reopening unless the receiver reported since.
class SettingCursor {
public:
    // The display port's value when it differs from what was shown, else null.
    template <class T>
    const T* Newer(Received<T> PortSettingsRecord::*field)
    {
        if (DisplayPort < 1 || DisplayPort > kPortSlots)
            return nullptr;
        const int slot = DisplayPort - 1;
        const Received<T>& received = PortSettings[static_cast<size_t>(slot)].*field;
        if (received.revision == 0 || (slot == slot_ && received.revision == revision_))
            return nullptr;
        slot_ = slot;
        revision_ = received.revision;
        return &received.value;
    }

private:
    int slot_ = -1;
    uint32_t revision_ = 0;
};
