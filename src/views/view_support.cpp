#include "views/view_support.h"

#include <QWidget>

#include "link/port_table.h"
#include "notify/receiver_notifier.h"

const PortReportRecord* DisplayReports()
{
    if (DisplayPort < 1 || DisplayPort > kPortSlots)
        return nullptr;
    return &PortReports[static_cast<size_t>(DisplayPort - 1)];
}

bool IsDisplaySlot(int slot) { return slot == DisplayPort - 1; }

std::vector<TrackedSatellite> TrackedSatellites(const PortReportRecord& r)
{
    std::vector<TrackedSatellite> out;
    for (size_t c = 0; c < static_cast<size_t>(kTrackChannels); ++c) {
        const int prn = r.chanPrn[c];
        if (prn == 0 || r.chanTimeout[c] <= 0)
            continue;
        out.push_back({static_cast<int>(c), prn, r.chanLevel[c], r.chanAzimuthDeg[c], r.chanElevationDeg[c],
                       InFixSet(r, prn), r.latchedPrn[c], r.latchedLevel[c], r.chanSystem[c]});
    }
    return out;
}

QString SatelliteText(const TrackedSatellite& s)
{
    if (s.system == kNoSystem)
        return QString::number(s.prn);
    return QString::fromStdString(SatelliteLabel(s.system, static_cast<uint8_t>(s.prn)));
}

void MakeResizable(QWidget* form, QSize minimum)
{
    form->setMinimumSize(minimum);
    form->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    form->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, false);
    form->setWindowFlag(Qt::WindowMaximizeButtonHint, true);
}

RepaintThrottle::RepaintThrottle(QWidget* view) : QObject(view), view_(view)
{
    timer_.setSingleShot(true);
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &RepaintThrottle::IntervalEnded);
}

void RepaintThrottle::Request()
{
    if (!view_->isVisible())
        return;
    if (timer_.isActive()) {
        pending_ = true;
        return;
    }
    view_->update();
    timer_.start();
}

void RepaintThrottle::IntervalEnded()
{
    if (!pending_)
        return;
    pending_ = false;
    Request();
}

void RepaintOnTrackingChanges(QWidget* view)
{
    auto* throttle = new RepaintThrottle(view);
    ReceiverNotifier& r = Receivers();
    auto onSlot = [throttle](int slot) {
        if (IsDisplaySlot(slot))
            throttle->Request();
    };
    auto onChannel = [onSlot](int slot, int) { onSlot(slot); };
    QObject::connect(&r, &ReceiverNotifier::channelChanged, throttle, onChannel);
    QObject::connect(&r, &ReceiverNotifier::channelExpired, throttle, onChannel);
    QObject::connect(&r, &ReceiverNotifier::fixSatellitesChanged, throttle, onSlot);
    QObject::connect(&r, &ReceiverNotifier::portStateChanged, throttle, &RepaintThrottle::Request);
}
