// The serial port dialog: report 0xBC into the lists, "&Set " with the two
// questions, the 0xBC set command, and the PC side following on Yes.
#include <QComboBox>
#include <QPushButton>

#include "config/form_serial.h"
#include "config_test_support.h"
#include "core/main_window.h"
#include "link/commands.h"
#include "link/port_table.h"
#include "support/ui_find.h"

namespace {

using ui::Answer;

class SerialDialog : public ConfigDialogTest {
protected:
    void SetUp() override
    {
        ConfigDialogTest::SetUp();
        Form_Serial->showForm();
    }

    // 9600, 8, None, 1, ZELK in, NMEA out, as the receiver reports it for port 0.
    void DeliverNmeaAt9600()
    {
        Deliver({0xBC, 0x00, 0x07, 0x07, 0x03, 0x00, 0x00, 0x00, 0x02, 0x04, 0x00});
    }

    static std::vector<int> Rows()
    {
        auto* f = Form_Serial;
        return {Ui<QComboBox>(f, "ComboBox_Port1Input")->currentIndex(),
                Ui<QComboBox>(f, "ComboBox_Port1Output")->currentIndex(),
                Ui<QComboBox>(f, "ComboBox_BaudRate")->currentIndex(),
                Ui<QComboBox>(f, "ComboBox_DataBits")->currentIndex(),
                Ui<QComboBox>(f, "ComboBox_Parity")->currentIndex(),
                Ui<QComboBox>(f, "ComboBox_StopBits")->currentIndex()};
    }
};

TEST_F(SerialDialog, ReportOfPortZeroFillsTheLists)
{
    Form_Serial->hide();
    EXPECT_EQ(Rows(), std::vector<int>(6, -1));
    DeliverNmeaAt9600();
    Form_Serial->showForm();
    EXPECT_EQ(Rows(), (std::vector<int>{0, 1, 1, 0, 0, 0}));
    EXPECT_EQ(Ui<QComboBox>(Form_Serial, "ComboBox_BaudRate")->currentText(), "9600");
    EXPECT_EQ(Ui<QComboBox>(Form_Serial, "ComboBox_Port1Output")->currentText(), "NMEA");
}

TEST_F(SerialDialog, OtherPortsUnknownCodesAndOtherLengthsLeaveListsAsTheyAre)
{
    DeliverNmeaAt9600();
    Deliver({0xBC, 0x01, 0x09, 0x09, 0x03, 0x02, 0x01, 0x00, 0x02, 0x02, 0x00});    // receiver port 1
    Deliver({0xBC, 0x00, 0x09, 0x09, 0x03, 0x02, 0x01, 0x00, 0x02, 0x02});          // 9 data bytes
    EXPECT_EQ(Rows(), (std::vector<int>{0, 1, 1, 0, 0, 0}));
    // Baud code 5 (2400) has no row; output protocol 3 keeps NMEA; input protocol 1 shows nothing.
    Deliver({0xBC, 0x00, 0x05, 0x05, 0x03, 0x02, 0x01, 0x00, 0x01, 0x03, 0x00});
    EXPECT_EQ(Rows(), (std::vector<int>{-1, 1, -1, 0, 2, 1}));
}

TEST_F(SerialDialog, SetAnsweredNoSendsPortZeroAndLeavesThePcSide)
{
    DeliverNmeaAt9600();
    const QString caption = Form_Main->Panel_Serial->caption();
    const LineCodes codes = PortLineCodes[0];
    ui.answers = {Answer::No, Answer::No};
    Form_Serial->Button_Port1Click();
    EXPECT_EQ(Sent(), Frame({0xBC, 0x00, 0x07, 0x07, 0x03, 0x00, 0x00, 0x00, 0x02, 0x04, 0x00}));
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "Change PC com settings to match?");
    EXPECT_EQ(ui.boxes[0].title, "Update PC?");
    EXPECT_EQ(ui.boxes[0].defaultButton, Answer::Yes);
    EXPECT_EQ(ui.boxes[1].text, "Do you wish to save the receiver settings to Flash memory?");
    EXPECT_EQ(ui.boxes[1].title, "Warning");
    EXPECT_EQ(ui.boxes[1].icon, ui::Icon::Warning);
    EXPECT_EQ(ui.boxes[1].defaultButton, Answer::No);
    EXPECT_EQ(Form_Main->Panel_Serial->caption(), caption);
    EXPECT_EQ(PortLineCodes[0], codes);
    EXPECT_EQ(display->settings.baud, 9600);
    EXPECT_EQ(display->settings.parity, 1); // still odd, as opened
    EXPECT_EQ(SerialChangePauses().pausesRun, 0u);
}

TEST_F(SerialDialog, SetAnsweredYesSendsPort255AndSwitchesTheDisplayPort)
{
    Ui<QComboBox>(Form_Serial, "ComboBox_Port1Output")->setCurrentIndex(0);
    Ui<QComboBox>(Form_Serial, "ComboBox_BaudRate")->setCurrentIndex(0); // 4800
    Ui<QComboBox>(Form_Serial, "ComboBox_DataBits")->setCurrentIndex(0);
    Ui<QComboBox>(Form_Serial, "ComboBox_Parity")->setCurrentIndex(2); // even
    Ui<QComboBox>(Form_Serial, "ComboBox_StopBits")->setCurrentIndex(1); // 2
    ui.answers = {Answer::Yes, Answer::Yes};
    Form_Serial->Button_Port1Click();
    std::vector<uint8_t> expected = Frame({0xBC, 0xFF, 0x06, 0x06, 0x03, 0x02, 0x01, 0x00, 0x02, 0x02, 0x00});
    const std::vector<uint8_t> save = Frame({0x8E, 0x26});
    expected.insert(expected.end(), save.begin(), save.end());
    EXPECT_EQ(Sent(), expected);
    EXPECT_EQ(Form_Main->Panel_Serial->caption(), "COM1 4800, 8-E-2");
    EXPECT_EQ(display->settings.baud, 4800);
    EXPECT_EQ(display->settings.dataBits, 8);
    EXPECT_EQ(display->settings.parity, 2);
    EXPECT_EQ(display->settings.stopBits, 2);
    EXPECT_EQ(PortLineCodes[0], (LineCodes{6, 3, 2, 1}));
    EXPECT_TRUE(PortTable[0].open);
}

TEST_F(SerialDialog, TxAllSwitchesEveryOpenPortAndLeavesClosedOnesAlone)
{
    auto com3 = AttachFakeSerial(2);
    PortLineCodes[7] = LineCodes{9, 3, 0, 0}; // COM8, closed
    TxAllLit = true;
    DeliverNmeaAt9600();
    TakeWritten(*com3); // the tick's own queries
    ui.answers = {Answer::Yes, Answer::No};
    Form_Serial->Button_Port1Click();
    const std::vector<uint8_t> set = Frame({0xBC, 0xFF, 0x07, 0x07, 0x03, 0x00, 0x00, 0x00, 0x02, 0x04, 0x00});
    EXPECT_EQ(Sent(), set);
    EXPECT_EQ(TakeWritten(*com3), set);
    for (size_t slot : {0u, 2u}) {
        EXPECT_EQ(PortLineCodes[slot], (LineCodes{7, 3, 0, 0})) << slot;
        EXPECT_TRUE(PortTable[slot].open);
    }
    EXPECT_EQ(com3->settings.parity, 0);
    EXPECT_EQ(display->settings.parity, 0);
    EXPECT_EQ(PortLineCodes[7], (LineCodes{9, 3, 0, 0}));
    EXPECT_EQ(Form_Main->Panel_Serial->caption(), "COM1 9600, 8-N-1");
}

// A list left blank by a report (a code it has no row for) has no code to send:
// Set refuses and names it, whichever list it is.
TEST_F(SerialDialog, AnEmptyListRefusesTheSetAndNamesIt)
{
    const struct {
        std::vector<uint8_t> report; // 0xBC for port 0: baud in, baud out, data bits, parity, stop bits, -, in, out
        const char* name;
    } rows[] = {
        {{0xBC, 0x00, 0x05, 0x05, 0x03, 0x00, 0x00, 0x00, 0x02, 0x04, 0x00}, "Baud Rate"},
        {{0xBC, 0x00, 0x07, 0x07, 0x02, 0x00, 0x00, 0x00, 0x02, 0x04, 0x00}, "Data Bits"},
        {{0xBC, 0x00, 0x07, 0x07, 0x03, 0x03, 0x00, 0x00, 0x02, 0x04, 0x00}, "Parity"},
        {{0xBC, 0x00, 0x07, 0x07, 0x03, 0x00, 0x02, 0x00, 0x02, 0x04, 0x00}, "Stop Bits"},
        {{0xBC, 0x00, 0x07, 0x07, 0x03, 0x00, 0x00, 0x00, 0x02, 0x03, 0x00}, "Output Protocol"},
    };
    const LineCodes codes = PortLineCodes[0];
    for (const auto& row : rows) {
        for (QComboBox* list : Form_Serial->findChildren<QComboBox*>()) // as the dialog starts
            list->setCurrentIndex(-1);
        Deliver(row.report);
        ui.boxes.clear();
        Form_Serial->Button_Port1Click();
        EXPECT_TRUE(Sent().empty()) << row.name;
        ASSERT_EQ(ui.boxes.size(), 1u) << row.name;
        EXPECT_NE(ui.boxes[0].text.indexOf(row.name), -1) << ui.boxes[0].text.toStdString();
        EXPECT_EQ(PortLineCodes[0], codes);
    }
}

TEST_F(SerialDialog, ApplyWithAClosedDisplayPortStillAsksAndRewritesTheCaption)
{
    PortTable[0].open = 0;
    SerialConfigRecord record;
    record.baudCode = 8;
    record.parityCode = 0;
    ui.answers = {Answer::Yes};
    ApplySerialSettings(record);
    EXPECT_TRUE(display->written.empty());
    EXPECT_EQ(Form_Main->Panel_Serial->caption(), "COM1 19200, 8-N-1");
    EXPECT_EQ(display->settings.baud, 9600);
    EXPECT_FALSE(PortTable[0].open);
}

TEST_F(SerialDialog, FactorySettingsGoOutAs9600EightOddOne)
{
    PortLineCodes[0] = LineCodes{6, 3, 0, 1};
    ui.answers = {Answer::Yes};
    ApplySerialSettings(kFactorySerialSettings);
    EXPECT_EQ(Sent(), Frame({0xBC, 0xFF, 0x07, 0x07, 0x03, 0x01, 0x00, 0x00, 0x02, 0x02, 0x00}));
    EXPECT_EQ(PortLineCodes[0], (LineCodes{7, 3, 1, 0}));
    EXPECT_EQ(display->settings.parity, 1);
    EXPECT_EQ(Form_Main->Panel_Serial->caption(), "COM1 9600, 8-O-1");
    EXPECT_EQ(ui.boxes.size(), 1u); // the flash question belongs to the dialog only
}

// A device that notes, for each call, how many pauses of the apply step had run.
class OrderDevice : public SerialDevice {
public:
    explicit OrderDevice(std::vector<std::string>& log) : log_(log) {}
    int QueuedInputBytes() override { return 0; }
    long Read(uint8_t*, size_t) override { return 0; }
    long Write(const uint8_t*, size_t count) override { return Note("write"), static_cast<long>(count); }
    bool SetLineSettings(const LineSettings&) override { return Note("change"), true; }
    bool GetLineSettings(LineSettings&) override { return true; }
    bool Purge() override { return true; }
    bool FlushTransmit() override { return Note("flush"), true; }
    bool ClearBreak() override { return true; }

private:
    void Note(const char* what) { log_.push_back(std::to_string(SerialChangePauses().pausesRun) + what); }
    std::vector<std::string>& log_;
};

TEST_F(SerialDialog, ApplyRunsSendPauseFlushPauseChangeInOrder)
{
    std::vector<std::string> log;
    PortTable[0].handle = std::make_unique<OrderDevice>(log);
    ui.answers = {Answer::Yes};
    ApplySerialSettings(SerialConfigRecord{});
    EXPECT_EQ(log, (std::vector<std::string>{"0write", "1flush", "2change"}));
}

TEST_F(SerialDialog, MenuQueriesBothReceiverPortsAndCloseHides)
{
    Form_Serial->hide();
    Form_Main->ConfigureSerialClick();
    std::vector<uint8_t> expected = Frame({0xBC, 0x00});
    const std::vector<uint8_t> second = Frame({0xBC, 0x01});
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(Sent(), expected);
    EXPECT_TRUE(Form_Serial->isVisible());
    EXPECT_EQ(Ui<QPushButton>(Form_Serial, "Button_Port1")->text(), "&Set ");
    Form_Serial->Button_CancelClick();
    EXPECT_FALSE(Form_Serial->isVisible());
    EXPECT_TRUE(Sent().empty());
}

} // namespace
