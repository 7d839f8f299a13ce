#include "views/view_support.h"

#include <QPainter>
#include <QWidget>

#include <utility>

#include "link/port_table.h"
#include "notify/receiver_notifier.h"
#include "platform/widgets.h"
#include "views/view_colours.h"

const PortReportRecord* DisplayReports()
{
    if (DisplayPort < 1 || DisplayPort > kPortSlots)
        return nullptr;
    return &PortReports[static_cast<size_t>(DisplayPort - 1)];
}

bool IsDisplaySlot(int slot) { return slot == DisplayPort - 1; }

namespace {

struct Reported {
    int prn = 0;
    float level = 0;
};
using PortChannels = std::array<Reported, kTrackChannels>;

// Each port's channels as last reported. The data logger clears the store's
// PRN and level after each of its records (its latch starts again from
// there); the views keep what the receiver said until the channel expires.
std::array<PortChannels, kPortSlots>& LastReported()
{
    static std::array<PortChannels, kPortSlots> reported{};
    static const bool following = [] {
        QObject::connect(&Receivers(), &ReceiverNotifier::channelChanged, [](int slot, int channel) {
            if (slot < 0 || slot >= kPortSlots || channel < 0 || channel >= kTrackChannels)
                return;
            const PortReportRecord& r = PortReports[static_cast<size_t>(slot)];
            const auto c = static_cast<size_t>(channel);
            reported[static_cast<size_t>(slot)][c] = {r.chanPrn[c], r.chanLevel[c]};
        });
        return true;
    }();
    (void)following;
    return reported;
}

} // namespace

std::vector<TrackedSatellite> TrackedSatellites(const PortReportRecord& r)
{
    const PortChannels* reported = nullptr; // a record outside the table: its own fields
    for (size_t slot = 0; slot < PortReports.size(); ++slot)
        if (&PortReports[slot] == &r)
            reported = &LastReported()[slot];
    std::vector<TrackedSatellite> out;
    for (size_t c = 0; c < static_cast<size_t>(kTrackChannels); ++c) {
        const int prn = reported ? (*reported)[c].prn : r.chanPrn[c];
        const float level = reported ? (*reported)[c].level : r.chanLevel[c];
        if (prn == 0 || r.chanTimeout[c] <= 0)
            continue;
        out.push_back({static_cast<int>(c), prn, level, r.chanAzimuthDeg[c], r.chanElevationDeg[c],
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

RepaintThrottle::RepaintThrottle(QWidget* view, std::function<void()> refresh)
    : QObject(view), view_(view), refresh_(std::move(refresh))
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
    if (refresh_)
        refresh_();
    else
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

void CachedBackground::Paint(QPainter& p, const QWidget& view, quint64 key,
                             const std::function<void(QPainter&)>& draw)
{
    const qreal ratio = view.devicePixelRatioF();
    const QSize size = view.size() * ratio;
    const QRgb base = WindowColour().rgb(), text = FieldTextColour().rgb();
    if (pixmap_.size() != size || pixmap_.devicePixelRatio() != ratio || key != key_ || base != base_ ||
        text != text_) {
        // The same size is drawn over: a new pixmap of a window's size costs
        // fresh memory (page faults) at every change of scale.
        if (pixmap_.size() != size)
            pixmap_ = QPixmap(size);
        pixmap_.setDevicePixelRatio(ratio);
        pixmap_.fill(WindowColour());
        QPainter painter(&pixmap_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setFont(view.font());
        draw(painter);
        key_ = key;
        base_ = base;
        text_ = text;
    }
    p.drawPixmap(0, 0, pixmap_);
}

void RepaintOnTrackingChanges(QWidget* view)
{
    LastReported(); // following from the first view on
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
