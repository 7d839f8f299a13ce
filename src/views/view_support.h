// What the live views share: the display port's reports, its tracked
// satellites, and the wiring that repaints a view only while it is shown.
#pragma once

#include <QObject>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

#include "model/port_reports.h"

class QPainter;
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
    uint8_t system = kNoSystem; // a multi-GNSS channel's system; its level is then in dB-Hz
};
// The satellite's label: "12" for a channel of 0x5C, "G12", "R07" for a multi-GNSS one.
QString SatelliteText(const TrackedSatellite& satellite);
// Channels 0..kTrackChannels-1 in order.
std::vector<TrackedSatellite> TrackedSatellites(const PortReportRecord& reports);

// Lifts the fixed size of a form so the user can resize it down to minimum.
void MakeResizable(QWidget* form, QSize minimum);
// Paints a view at most once per interval, and only while it is shown: a change
// after a quiet interval is painted at the next pass of the event loop, later ones
// are folded into one paint at the interval's end. Receivers report once a second,
// their answers to the twice-a-second queries spread over the second: a second's
// reports cost one or two paints, a burst (a replay, a fast line) one a second.
// A view that sets captions rather than paints gives its refresh instead.
class RepaintThrottle : public QObject {
public:
    static constexpr int kIntervalMs = 1000;
    explicit RepaintThrottle(QWidget* view, std::function<void()> refresh = {});
    void Request();

private:
    void IntervalEnded();

    QWidget* view_;
    std::function<void()> refresh_;
    QTimer timer_;
    bool pending_ = false;
};

// A view's unchanging part (rings, grid, legend), drawn once into a pixmap and
// copied at each paint; drawn again when the size, the colour scheme or the
// caller's key (what else it depends on) changes.
class CachedBackground {
public:
    void Paint(QPainter& p, const QWidget& view, quint64 key, const std::function<void(QPainter&)>& draw);

private:
    QPixmap pixmap_;
    quint64 key_ = 0;
    QRgb base_ = 0, text_ = 0;
};

// Repaints view through a throttle whenever the display port announces a
// channel, an expiry or a fix list, and whenever any port changes state (a
// change of display port announces the new one).
void RepaintOnTrackingChanges(QWidget* view);
