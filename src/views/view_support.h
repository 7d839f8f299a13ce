// What the live views share: the display port's reports, its tracked
// satellites, and the wiring that repaints a view only while it is shown.
#pragma once

#include <QSize>
#include <vector>

#include "model/port_reports.h"

class QWidget;

// The display port's stored reports; null while no display port is set.
const PortReportRecord* DisplayReports();
bool IsDisplaySlot(int slot);

// One channel of a port that has a satellite and was reported within its timeout.
struct TrackedSatellite {
    int channel = 0;
    int prn = 0;
    float level = 0; // AMU, as reported (the sign kept)
    float azimuthDeg = 0, elevationDeg = 0;
    bool inFix = false;
    int latchedPrn = 0; // the channel's weakest-level latch (0: none yet)
    float latchedLevel = 0;
};
// Channels 0..11 in order.
std::vector<TrackedSatellite> TrackedSatellites(const PortReportRecord& reports);

// Lifts the fixed size of a form so the user can resize it down to minimum.
void MakeResizable(QWidget* form, QSize minimum);
// Schedules a repaint of view (coalesced by Qt, skipped while hidden) whenever the
// display port announces a channel, an expiry, a fix list or a change of state.
void RepaintOnTrackingChanges(QWidget* view);
// Schedules a repaint of view if it is shown.
void RepaintIfShown(QWidget* view);
