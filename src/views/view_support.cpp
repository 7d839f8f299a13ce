#include "views/view_support.h"

#include <QWidget>
#include <algorithm>

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
        const bool inFix = std::find(r.fixSvs.begin(), r.fixSvs.end(), prn) != r.fixSvs.end();
        out.push_back({static_cast<int>(c), prn, r.chanLevel[c], r.chanAzimuthDeg[c], r.chanElevationDeg[c], inFix,
                       r.latchedPrn[c], r.latchedLevel[c]});
    }
    return out;
}

void MakeResizable(QWidget* form, QSize minimum)
{
    form->setMinimumSize(minimum);
    form->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    form->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, false);
    form->setWindowFlag(Qt::WindowMaximizeButtonHint, true);
}

void RepaintIfShown(QWidget* view)
{
    if (view->isVisible())
        view->update();
}

void RepaintOnTrackingChanges(QWidget* view)
{
    ReceiverNotifier& r = Receivers();
    auto onSlot = [view](int slot) {
        if (IsDisplaySlot(slot))
            RepaintIfShown(view);
    };
    auto onChannel = [onSlot](int slot, int) { onSlot(slot); };
    QObject::connect(&r, &ReceiverNotifier::channelChanged, view, onChannel);
    QObject::connect(&r, &ReceiverNotifier::channelExpired, view, onChannel);
    QObject::connect(&r, &ReceiverNotifier::fixSatellitesChanged, view, onSlot);
    // Any port: a change of display port announces the new port, a closed one the old.
    QObject::connect(&r, &ReceiverNotifier::portStateChanged, view, [view](int) { RepaintIfShown(view); });
}
