// The main window's subscriptions to what the configuration, logging and
// transfer modules announce: the figures they decide are shown here, by the
// window that owns the widgets.
#include "config/config_notifier.h"
#include "core/main_window.h"
#include "monitor/logging_notifier.h"
#include "monitor/monitor.h"
#include "transfer/transfer_notifier.h"

void TForm_Main::SubscribeToModules()
{
    ConfigNotifier& config = ConfigEvents();
    connect(&config, &ConfigNotifier::altitudeReferenceChanged, this,
            [this](const QString& caption, const QString& hint) {
                Label_Datum->setCaption(caption);
                Label_Datum->setHint(hint);
            });
    connect(&config, &ConfigNotifier::timeModeChanged, Label_TimeMode, &Label::setCaption);
    connect(&config, &ConfigNotifier::datumChanged, Panel_Datum, &Panel::setCaption);
    connect(&config, &ConfigNotifier::serialCaptionChanged, Panel_Serial, &Panel::setCaption);
    connect(&config, &ConfigNotifier::noteForUser, this, &TForm_Main::ApplyHint);

    LoggingNotifier& logging = LoggingEvents();
    connect(&logging, &LoggingNotifier::logStatusCaptionChanged, Panel_LogStatus, &Panel::setCaption);
    connect(&logging, &LoggingNotifier::logStatusLampChanged, Panel_LogStatus, [this](LogLamp lamp) {
        Panel_LogStatus->setColour(lamp == LogLamp::Written ? Colours::Yellow
                                   : lamp == LogLamp::On    ? Colours::Lime
                                                            : ButtonFaceColour());
    });
    connect(&logging, &LoggingNotifier::recordStatusChanged, Panel_Record, &Panel::setCaption);
    connect(&logging, &LoggingNotifier::portMonitored, this, &TForm_Main::RefreshMonitorPanels);

    TransferNotifier& transfer = TransferEvents();
    // A transfer reads the line itself: the engine waits meanwhile.
    Monitor& engine = Monitor::Instance();
    connect(&transfer, &TransferNotifier::transferStarted, &engine, &Monitor::Stop);
    connect(&transfer, &TransferNotifier::transferFinished, &engine, &Monitor::Start);
    connect(&transfer, &TransferNotifier::packetReceived, &engine, &Monitor::LightRx);
}
