#include "display/time_reports.h"

#include <QString>

#include "config/form_initial_time.h"
#include "core/main_window.h"
#include "display/gps_time.h"
#include "display/report_decode.h"
#include "link/packets.h"
#include "link/shared_flags.h"
#include "platform/ui.h"
#include "platform/widgets.h"

namespace {

void CompleteTimeToPc(float utcOffset)
{
    const std::optional<ClockMessage> failure = SetPcClockFromGps(utcOffset);
    // Cleared before any box opens: a report arriving meanwhile must not set the clock again.
    Flags.TimeToPcPending = 0;
    if (failure)
        ui::Message(QString::fromStdString(failure->text), QString::fromStdString(failure->title));
}

} // namespace

void DecodeReport_41(PortRecord& port)
{
    Report41 r;
    if (!IsDisplayPort(port) || !ParseReport41(port.data, port.length, r))
        return;
    GpsSeconds = static_cast<double>(static_cast<long double>(r.week) * kSecondsPerWeek +
                                     static_cast<long double>(r.timeOfWeekS));
    if (Form_Main) {
        Form_Main->Panel_Week->setCaption(QString::number(r.week));
        Form_Main->Panel_Date->setCaption(QString::fromStdString(FormatGpsDate(GpsSeconds)));
    }
    if (Flags.TimeToPcPending == 1)
        CompleteTimeToPc(r.utcOffsetS);
}

void DecodeReport_4E(PortRecord& port)
{
    Report4E r;
    if (!ParseReport4E(port.data, port.length, r) || !Form_InitialTime)
        return;
    // The lamp belongs to the initial time dialog; it is found by its name.
    if (auto* lamp = Form_InitialTime->findChild<Shape*>(QStringLiteral("Shape_TimeAccepted")))
        lamp->setFill(r.answer == 'Y' ? Colours::Lime : Colours::Red);
}
