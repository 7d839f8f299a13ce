// The main window follows the receivers: each announcement of the display
// port's reports redraws the panels it changed.
#include <QString>
#include <cmath>

#include "core/main_window.h"
#include "monitor/product.h"
#include "model/gps_time.h"
#include "model/port_reports.h"
#include "notify/receiver_notifier.h"

void TForm_Main::ConnectReceivers()
{
    ReceiverNotifier& receivers = Receivers();
    connect(&receivers, &ReceiverNotifier::positionChanged, this, &TForm_Main::ShowPosition);
    connect(&receivers, &ReceiverNotifier::velocityChanged, this, &TForm_Main::ShowVelocity);
    connect(&receivers, &ReceiverNotifier::timeChanged, this, &TForm_Main::ShowTime);
    connect(&receivers, &ReceiverNotifier::statusChanged, this, &TForm_Main::ShowStatus);
    connect(&receivers, &ReceiverNotifier::channelChanged, this, &TForm_Main::ShowChannel);
    connect(&receivers, &ReceiverNotifier::channelRowsExpired, this, &TForm_Main::BlankChannelRow);
    connect(&receivers, &ReceiverNotifier::productChanged, this, &TForm_Main::ShowProduct);
}

namespace {

// A timing report's broken-down date and time, in the scale its flags name,
// as seconds from the GPS epoch in that scale.
double BrokenDownSeconds(const Report8FAB& t)
{
    const int64_t day = DateToGpsDay(t.year, t.month, t.day);
    return static_cast<double>(day) * 86400.0 + t.hours * 3600.0 + t.minutes * 60.0 + t.seconds;
}

} // namespace

void TForm_Main::ShowTime(int slot)
{
    if (slot + 1 != DisplayPort)
        return;
    const PortReportRecord& r = PortReports[static_cast<size_t>(slot)];
    Panel_Week->setCaption(QString::number(r.gpsWeek));
    if (r.timeId != kTimeFrom8FAB) {
        Panel_Date->setCaption(QString::fromStdString(FormatGpsDate(GpsSeconds)));
        return;
    }
    // The timing report is the receiver's only time: date, time of day and
    // time of week come from it, the date and time in the scale its flags say.
    const double local = BrokenDownSeconds(r.timing);
    const double inWeek = local - std::floor(local / kSecondsPerWeek) * kSecondsPerWeek;
    Panel_Date->setCaption(QString::fromStdString(FormatGpsDate(local)));
    Panel_Time->setCaption(QString::fromStdString(FormatTimeOfWeek(static_cast<float>(inWeek), 1)));
    Panel_TOW->setCaption(QString::asprintf("%.2f", static_cast<double>(r.timeOfWeekS)));
    Label_TimeMode->setCaption((r.timing.timingFlags & kTimingDateIsUtc) ? "UTC" : "GPS");
}

// Datum controls, once enabled, stay enabled, also for a later receiver with older firmware.
void TForm_Main::ShowProduct(int slot)
{
    if (slot + 1 != DisplayPort)
        return;
    const PortReportRecord& r = PortReports[static_cast<size_t>(slot)];
    if (r.productId == kProductFrom1C) {
        Panel_Version->setCaption(QString::asprintf("%d.%02d", r.firmware.major, r.firmware.minor));
        return;
    }
    const FirmwareVersion& navigation = r.navigation;
    Panel_Version->setCaption(VersionText(navigation));
    if (!SupportsDatums(navigation))
        return;
    Label_DatumMain->setEnabled(true);
    Panel_Datum->setColour(WindowColour());
}
