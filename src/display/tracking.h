// The satellite tracking display: report 0x5C (one receiver channel) feeds
// the main window's satellite rows, the tracking status window and each
// port's channel values and weakest-level latch; a once-a-second countdown
// blanks channels whose reports stop.
#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "model/port_reports.h"
#include "link/packets.h"
#include "link/port_table.h"

class Panel;

// Seconds left before each channel's rows in the main and tracking windows are
// blanked; program-wide, re-armed by a report of the channel from any port.
extern std::array<int32_t, kChannels> ChannelTimeout;

void DecodeReport_5C(PortRecord& port);
// Counts the channels down once a second and blanks the rows that run out;
// counts each port's own channels down too (PortReportRecord::chanTimeout)
// and announces each that runs out.
void ExpireChannels();
// Green when prn is one of the port's satellites in the fix, else the window colour.
void ColourSvPanel(int32_t prn, int slot, Panel* panel);

// The tracking window's text row of one channel report.
QString TrackRowText(const Report5C& report);

// Keeps the weakest level of a channel since the data logger last restarted the latch.
void UpdateLatch(PortReportRecord& reports, int chan, uint8_t prn, float level);

// Binds ExpireChannels and the fix-list reset to the main window's poll
// timer and ResetDisplay; undone when the tracking window goes.
void InstallTrackingHooks();
void RemoveTrackingHooks();

// Back to the start: all countdowns 0.
void ResetTrackingState();
