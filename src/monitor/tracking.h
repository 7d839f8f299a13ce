// The satellite tracking display: report 0x5C (one receiver channel) feeds
// each port's channel values and weakest-level latch and the tracking status
// window, and is announced; a once-a-second countdown blanks the rows of
// channels whose reports stop.
#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "model/port_reports.h"
#include "link/packets.h"
#include "link/port_table.h"

// Seconds left before each channel's rows in the main and tracking windows are
// blanked; program-wide, re-armed by a report of the channel from any port.
extern std::array<int32_t, kChannels> ChannelTimeout;

void DecodeReport_5C(PortRecord& port);
// 0x5D, a multi-GNSS channel: kept per port with its satellite system.
void DecodeReport_5D(PortRecord& port);
// Counts the channels down once a second, blanks the tracking window's rows
// that run out and announces them (channelRowsExpired); counts each port's
// own channels down too (PortReportRecord::chanTimeout) and announces each
// that runs out.
void ExpireChannels();

// The tracking window's text row of one channel report.
QString TrackRowText(const Report5C& report);
// A multi-GNSS channel in the same columns: its system's label ("G25") for the
// satellite, "-" for the slot and ephemeris flag it does not report, the level in dB-Hz.
QString TrackRowText(const Report5D& report);

// Keeps the weakest level of a channel since the data logger last restarted the latch.
void UpdateLatch(PortReportRecord& reports, int chan, uint8_t prn, float level);

// Back to the start: all countdowns 0.
void ResetTrackingState();
