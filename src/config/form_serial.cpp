#include "config/form_serial.h"

#include <QComboBox>
#include <QPushButton>

#include "config/dialog_controls.h"
#include "config/settings_follow.h"
#include "link/commands.h"
#include "platform/ui.h"

TForm_Serial* Form_Serial = nullptr;

namespace {

// Receiver codes of the first row of each list.
constexpr int kFirstBaudCode = 6;     // 4800
constexpr int kFirstDataBitsCode = 3; // 8 bits
constexpr uint8_t kZelk = 2;
constexpr uint8_t kNmea = 4;

} // namespace

TForm_Serial::TForm_Serial() : Form("Form_Serial", "Serial Port Configuration", 420, 260)
{
    SetHint(this, "Serial Port Configuration: Packet BC.");
    ComboBox_Port1Input = AddRow("ComboBox_Port1Input", "Input Protocol", {}, {"ZELK"}, 12);
    ComboBox_Port1Output = AddRow("ComboBox_Port1Output", "Output Protocol", {}, {"ZELK", "NMEA"}, 44);
    ComboBox_BaudRate = AddRow("ComboBox_BaudRate", "Baud Rate", "Baud Rate", {"4800", "9600", "19200", "38400"}, 76);
    ComboBox_DataBits = AddRow("ComboBox_DataBits", "Data Bits", "Numer of data bits", {"8"}, 108);
    ComboBox_Parity = AddRow("ComboBox_Parity", "Parity", "Parity", {"None", "Odd", "Even"}, 140);
    ComboBox_StopBits = AddRow("ComboBox_StopBits", "Stop Bits", "Number of stop bits", {"1", "2"}, 172);
    Button_Port1 = new QPushButton("&Set ", this);
    Place(Button_Port1, "Button_Port1", 120, 220, 75, 25);
    Button_Cancel = new QPushButton("&Close", this);
    Place(Button_Cancel, "Button_Cancel", 225, 220, 75, 25);
    connect(Button_Port1, &QPushButton::clicked, this, &TForm_Serial::Button_Port1Click);
    connect(Button_Cancel, &QPushButton::clicked, this, &TForm_Serial::Button_CancelClick);
    FollowReceivedSettings(this, [this] { ShowReceived(); });
    CentreOnScreen(this);
}

void TForm_Serial::ShowReceived()
{
    if (const ReportBC* report = shown_.Newer(&PortSettingsRecord::serial))
        ShowConfig(*report);
}

QComboBox* TForm_Serial::AddRow(const QString& name, const QString& caption, const QString& hint,
                                const QStringList& rows, int top)
{
    new Label(this, QString(name).replace("ComboBox_", "Label_"), caption, 60, top + 3, 130, 18);
    QComboBox* list = AddList(this, name, rows, 200, top, 150);
    if (!hint.isEmpty())
        SetHint(list, hint);
    return list;
}

void TForm_Serial::ShowConfig(const SerialConfigRecord& config)
{
    SelectRow(ComboBox_BaudRate, config.baudCode - kFirstBaudCode);
    SelectRow(ComboBox_DataBits, config.dataBitsCode - kFirstDataBitsCode);
    SelectRow(ComboBox_Parity, config.parityCode);
    SelectRow(ComboBox_StopBits, config.stopBitsCode);
    SelectRow(ComboBox_Port1Input, config.inputProtocol == kZelk ? 0 : config.inputProtocol);
    if (config.outputProtocol == kZelk)
        SelectRow(ComboBox_Port1Output, 0);
    else if (config.outputProtocol == kNmea)
        SelectRow(ComboBox_Port1Output, 1);
}

std::optional<SerialConfigRecord> TForm_Serial::BuildRecord() const
{
    const std::pair<const QComboBox*, const char*> settings[] = {{ComboBox_Port1Output, "Output Protocol"},
                                                                 {ComboBox_BaudRate, "Baud Rate"},
                                                                 {ComboBox_DataBits, "Data Bits"},
                                                                 {ComboBox_Parity, "Parity"},
                                                                 {ComboBox_StopBits, "Stop Bits"}};
    for (const auto& [list, name] : settings) {
        // An empty list has no code; guessing one could cut the link to the receiver
        // (a guessed output protocol may leave it speaking another protocol).
        if (list->currentIndex() < 0) {
            ui::Message(QString("No %1 is selected. Choose one before setting the port.").arg(name),
                        "Serial Port Configuration", ui::Icon::Warning);
            return std::nullopt;
        }
    }
    SerialConfigRecord record;
    record.receiverPort = 0;
    record.baudCode = static_cast<uint8_t>(ComboBox_BaudRate->currentIndex() + kFirstBaudCode);
    record.dataBitsCode = static_cast<uint8_t>(ComboBox_DataBits->currentIndex() + kFirstDataBitsCode);
    record.parityCode = static_cast<uint8_t>(ComboBox_Parity->currentIndex());
    record.stopBitsCode = static_cast<uint8_t>(ComboBox_StopBits->currentIndex());
    record.inputProtocol = kZelk;
    record.outputProtocol = ComboBox_Port1Output->currentIndex() == 0 ? kZelk : kNmea;
    record.reserved = 0;
    return record;
}

void TForm_Serial::Button_Port1Click()
{
    const std::optional<SerialConfigRecord> record = BuildRecord();
    if (!record)
        return;
    ApplySerialSettings(*record);
    if (ui::AskYesNo("Do you wish to save the receiver settings to Flash memory?", "Warning", ui::Icon::Warning,
                     ui::Answer::No))
        SendSaveToFlash(TX_DEFAULT);
}

void TForm_Serial::Button_CancelClick() { hide(); }
