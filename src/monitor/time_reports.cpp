#include "monitor/time_reports.h"

#include <QString>
#include <cmath>

#include "model/gps_time.h"
#include "model/port_reports.h"
#include "monitor/report_decode.h"
#include "link/gnss_reports.h"
#include "link/packets.h"
#include "notify/receiver_notifier.h"
#include "link/shared_flags.h"
#include "monitor/requests.h"

namespace {

constexpr double kClockJumpToConfirm = 86400; // seconds

void SetPcClock(float utcOffset)
{
    const std::optional<ClockMessage> failure = SetPcClockFromGps(utcOffset);
    if (failure)
        ui::Tell(QString::fromStdString(failure->text), QString::fromStdString(failure->title));
}

// A receiver that counts weeks modulo 1024 reports a time years away: setting
// the PC clock that far takes the user's word, with both times shown. The
// ports go on while the question is open; the answer sets the clock.
void CompleteTimeToPc(float utcOffset)
{
    // Cleared before any box opens: a report arriving meanwhile must not set the clock again.
    Flags.TimeToPcPending = 0;
    if (GpsSeconds == 0.0) {
        SetPcClock(utcOffset); // the "not available" box follows
        return;
    }
    const double target = GpsSeconds - static_cast<double>(utcOffset);
    const double now = PcClockToGpsSeconds();
    if (std::fabs(target - now) <= kClockJumpToConfirm) {
        SetPcClock(utcOffset);
        return;
    }
    const QString text = QString("The receiver's time is %1 UTC;\nthe PC clock reads %2 UTC.\n\n"
                                 "Set the PC clock to the receiver's time?")
                             .arg(QString::fromStdString(FormatGpsDateTime(target)),
                                  QString::fromStdString(FormatGpsDateTime(now)));
    ui::Ask(text, "Set PC Clock?", ui::Icon::Warning, ui::Answer::No, [utcOffset](bool yes) {
        if (yes)
            SetPcClock(utcOffset);
    });
}

// Both time reports end here: stored for the port, announced, and for the
// display port also the program's GPS seconds and a pending "Time To PC".
void TakeTime(const PortRecord& port, uint8_t timeId, uint16_t week, float timeOfWeek, float utcOffset)
{
    PortReportRecord& reports = PortReports[static_cast<size_t>(port.slot)];
    reports.gpsWeek = week;
    reports.timeOfWeekS = timeOfWeek;
    reports.utcOffsetS = utcOffset;
    reports.timeId = timeId;
    if (IsDisplayPort(port))
        GpsSeconds = static_cast<double>(static_cast<long double>(week) * kSecondsPerWeek +
                                         static_cast<long double>(timeOfWeek));
    emit Receivers().timeChanged(port.slot);
    if (IsDisplayPort(port) && Flags.TimeToPcPending == 1)
        CompleteTimeToPc(utcOffset);
}

} // namespace

void DecodeReport_41(PortRecord& port)
{
    Report41 r;
    if (ParseReport41(port.data, port.length, r))
        TakeTime(port, 0x41, r.week, r.timeOfWeekS, r.utcOffsetS);
}

// The week and second stay GPS whatever the flags say; only the broken-down
// date follows the UTC flag.
void DecodeReport_8FAB(PortRecord& port)
{
    Report8FAB r;
    if (!ParseReport8FAB(port.data, port.length, r))
        return;
    PortReports[static_cast<size_t>(port.slot)].timing = r;
    TakeTime(port, kTimeFrom8FAB, r.week, static_cast<float>(r.timeOfWeekS), r.utcOffsetS);
}

void DecodeReport_4E(PortRecord& port)
{
    Report4E r;
    if (!ParseReport4E(port.data, port.length, r))
        return;
    PortReports[static_cast<size_t>(port.slot)].timeAnswer = r.answer;
    emit Receivers().timeAnswered(port.slot);
}
