#include "views/form_timing.h"

#include "describe/timing_words.h"
#include "model/port_reports.h"
#include "notify/receiver_notifier.h"
#include "views/view_support.h"

TForm_Timing* Form_Timing = nullptr;

namespace {

constexpr int kRowHeight = 21;
constexpr int kTop = 8;
constexpr int kLabelWidth = 130;
constexpr int kFieldLeft = 146;
constexpr int kFieldWidth = 210;
constexpr int kRows = 13; // eleven values, two alarm rows

QString Text(const std::string& s) { return QString::fromStdString(s); }

QString HoldoverText(uint32_t seconds)
{
    if (seconds == 0)
        return "none";
    return QString::asprintf("%u s (%u h %02u min)", seconds, seconds / 3600, seconds / 60 % 60);
}

} // namespace

TForm_Timing::TForm_Timing() : Form("Form_Timing", "Timing Receiver", kFieldLeft + kFieldWidth + 10,
                                    kTop * 2 + kRows * kRowHeight)
{
    Panel_ReceiverMode = AddRow("Panel_ReceiverMode", "Receiver mode", 0);
    Panel_DiscMode = AddRow("Panel_DiscMode", "Disciplining mode", 1);
    Panel_DiscActivity = AddRow("Panel_DiscActivity", "Disciplining activity", 2);
    Panel_Survey = AddRow("Panel_Survey", "Self-survey", 3);
    Panel_Holdover = AddRow("Panel_Holdover", "Holdover", 4);
    Panel_Decoding = AddRow("Panel_Decoding", "GNSS decoding", 5);
    Panel_PpsOffset = AddRow("Panel_PpsOffset", "PPS offset", 6);
    Panel_OscOffset = AddRow("Panel_OscOffset", "Oscillator offset", 7);
    Panel_Dac = AddRow("Panel_Dac", "DAC", 8);
    Panel_Temperature = AddRow("Panel_Temperature", "Temperature", 9);
    Panel_Quantisation = AddRow("Panel_Quantisation", "PPS quantisation error", 10);
    // The alarm rows: a lamp before the words.
    const int lampSize = 13;
    Panel_Critical = AddRow("Panel_Critical", "Critical alarms", 11);
    Panel_Minor = AddRow("Panel_Minor", "Minor alarms", 12);
    for (Panel* p : {Panel_Critical, Panel_Minor}) {
        p->move(p->x() + Scaled(lampSize + 6), p->y());
        p->resize(p->width() - Scaled(lampSize + 6), p->height());
    }
    Shape_Critical = new Shape(this, "Shape_Critical", kFieldLeft, kTop + 11 * kRowHeight + 3, lampSize);
    Shape_Minor = new Shape(this, "Shape_Minor", kFieldLeft, kTop + 12 * kRowHeight + 3, lampSize);

    // A burst of status reports (a replay, a fast line) costs one refresh a second.
    auto* refresh = new RepaintThrottle(this, [this] { Refresh(); });
    ReceiverNotifier& r = Receivers();
    connect(&r, &ReceiverNotifier::timingStatusChanged, refresh, [refresh](int slot) {
        if (IsDisplaySlot(slot))
            refresh->Request();
    });
    connect(&r, &ReceiverNotifier::portStateChanged, refresh, &RepaintThrottle::Request);
    ShowNoStatus();
}

Panel* TForm_Timing::AddRow(const QString& name, const QString& caption, int row)
{
    const int top = kTop + row * kRowHeight;
    new Label(this, name + "Label", caption, 8, top + 3, kLabelWidth, 15);
    auto* panel = new Panel(this, name, QString(), kFieldLeft, top, kFieldWidth, kRowHeight - 3);
    fields_.push_back(panel);
    return panel;
}

void TForm_Timing::showEvent(QShowEvent* event)
{
    Refresh();
    Form::showEvent(event);
}

// A port that never sent the timing status shows empty button-face fields and dark lamps.
void TForm_Timing::ShowNoStatus()
{
    for (Panel* p : fields_) {
        p->setCaption(QString());
        p->setColour(ButtonFaceColour());
    }
    Shape_Critical->setFill(Colours::Grey);
    Shape_Minor->setFill(Colours::Grey);
}

void TForm_Timing::Refresh()
{
    const PortReportRecord* reports = DisplayReports();
    if (!reports || !reports->timingStatusSeen) {
        ShowNoStatus();
        return;
    }
    const Report8FAC& t = reports->timingStatus;
    for (Panel* p : fields_)
        p->setColour(WindowColour());
    Panel_ReceiverMode->setCaption(Text(ReceiverModeText(t.receiverMode)));
    Panel_DiscMode->setCaption(Text(DiscipliningModeText(t.discipliningMode)));
    Panel_DiscActivity->setCaption(Text(DiscipliningActivityText(t.discipliningActivity)));
    Panel_Survey->setCaption(t.surveyProgress >= 100 ? QString("complete (100 %)")
                                                     : QString("in progress, %1 %").arg(t.surveyProgress));
    Panel_Holdover->setCaption(HoldoverText(t.holdoverS));
    Panel_Decoding->setCaption(Text(DecodingStatusText(t.decodingStatus)));
    Panel_PpsOffset->setCaption(QString::asprintf("%.2f ns", static_cast<double>(t.ppsOffsetNs)));
    Panel_OscOffset->setCaption(QString::asprintf("%.3f ppb", static_cast<double>(t.clockOffsetPpb)));
    Panel_Dac->setCaption(QString::asprintf("%u  (%.6f V)", t.dacValue, static_cast<double>(t.dacVoltage)));
    Panel_Temperature->setCaption(QString::asprintf("%.2f \u00B0C", static_cast<double>(t.temperatureC)));
    Panel_Quantisation->setCaption(QString::asprintf("%.2f ns", static_cast<double>(t.ppsQuantisationNs)));
    Shape_Critical->setFill(t.criticalAlarms ? Colours::Red : Colours::Lime);
    Panel_Critical->setCaption(Text(AlarmText(CriticalAlarmWords(t.criticalAlarms))));
    Shape_Minor->setFill(t.minorAlarms ? Colours::Yellow : Colours::Lime);
    Panel_Minor->setCaption(Text(AlarmText(MinorAlarmWords(t.minorAlarms))));
    Panel_Minor->setHint(Panel_Minor->caption());
}
