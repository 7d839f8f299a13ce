// The main window follows the receivers: each announcement of the display
// port's reports redraws the panels it changed.
#include <QString>

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

void TForm_Main::ShowTime(int slot)
{
    if (slot + 1 != DisplayPort)
        return;
    Panel_Week->setCaption(QString::number(PortReports[static_cast<size_t>(slot)].gpsWeek));
    Panel_Date->setCaption(QString::fromStdString(FormatGpsDate(GpsSeconds)));
}

// Datum controls, once enabled, stay enabled, also for a later receiver with older firmware.
void TForm_Main::ShowProduct(int slot)
{
    if (slot + 1 != DisplayPort)
        return;
    const FirmwareVersion& navigation = PortReports[static_cast<size_t>(slot)].navigation;
    Panel_Version->setCaption(VersionText(navigation));
    if (!SupportsDatums(navigation))
        return;
    Label_DatumMain->setEnabled(true);
    Panel_Datum->setColour(WindowColour());
}
