// The GPS configuration dialog: report 0xBB into the controls, the controls
// into the 0xBB set command, and refusal of text that is no number.
#include <QComboBox>
#include <QLineEdit>

#include "config/form_gps.h"
#include "config/number_field.h"
#include "config_test_support.h"
#include "support/ui_find.h"

namespace {

// Set command 0xBB 3 with the given fields; the float fields as their bit patterns.
std::vector<uint8_t> GpsSet(uint8_t mode, uint8_t dgps, uint8_t dynamics, std::initializer_list<uint8_t> elevation,
                            std::initializer_list<uint8_t> masks, uint8_t age)
{
    std::vector<uint8_t> m = {0xBB, 0x03, mode, dgps, dynamics};
    AppendFill(m, 11, 0xFF);
    Append(m, elevation);
    Append(m, masks);
    AppendFill(m, 4, 0xFF);
    m.push_back(age);
    AppendFill(m, 4, 0xFF);
    return m;
}

// Report 0xBB with 40 data bytes; unread positions hold 0.
std::vector<uint8_t> GpsReport(uint8_t mode, uint8_t dgps, uint8_t dynamics, std::initializer_list<uint8_t> elevation,
                               uint8_t age)
{
    std::vector<uint8_t> m = {0xBB, 0x03, mode, dgps, dynamics};
    AppendFill(m, 11, 0);
    Append(m, elevation);
    Append(m, {0x40, 0x80, 0x00, 0x00}); // signal mask 4.0
    Append(m, {0x41, 0x40, 0x00, 0x00}); // PDOP mask 12.0
    Append(m, {0x40, 0xC0, 0x00, 0x00}); // PDOP switch 6.0
    AppendFill(m, 4, 0);
    m.push_back(age);
    AppendFill(m, 4, 0);
    return m;
}

const std::initializer_list<uint8_t> kMinusOneMasks = {0xBF, 0x80, 0, 0, 0xBF, 0x80, 0, 0, 0xBF, 0x80, 0, 0};

class GpsDialog : public ConfigDialogTest {};

TEST_F(GpsDialog, StartsBlankWithMinusOneAndAppliesTheDefaults)
{
    EXPECT_EQ(Form_GPS->windowTitle(), "Receiver Configuration");
    EXPECT_FALSE(Form_GPS->isVisible());
    EXPECT_EQ(Ui<QComboBox>(Form_GPS, "ComboBox_RMode")->currentIndex(), -1);
    EXPECT_EQ(Ui<QComboBox>(Form_GPS, "ComboBox_DCode")->count(), 5);
    EXPECT_EQ(Ui<QComboBox>(Form_GPS, "ComboBox_DifMode")->itemText(3), "DGPS auto");
    EXPECT_EQ(Ui<QLineEdit>(Form_GPS, "Edit_DGPSAge")->text(), "-1");
    Form_GPS->Button_ApplyClick();
    // -1 degree is 0xBC8EFA35 (-0.0174532924 rad) as a single float.
    EXPECT_EQ(Sent(), Frame(GpsSet(0xFF, 0xFF, 0xFF, {0xBC, 0x8E, 0xFA, 0x35}, kMinusOneMasks, 0xFF)));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(GpsDialog, TenDegreesTravelAs3E32B8C3BothWays)
{
    Deliver(GpsReport(4, 3, 1, {0x3E, 0x32, 0xB8, 0xC3}, 30)); // while the dialog is closed
    Form_GPS->showForm();
    EXPECT_EQ(Ui<QLineEdit>(Form_GPS, "Edit_EMask")->text(), "10.0");
    EXPECT_EQ(Ui<QLineEdit>(Form_GPS, "Edit_SMask")->text(), "4.0");
    EXPECT_EQ(Ui<QLineEdit>(Form_GPS, "Edit_PMask")->text(), "12.0");
    EXPECT_EQ(Ui<QLineEdit>(Form_GPS, "Edit_PSwitch")->text(), "6.0");
    EXPECT_EQ(Ui<QLineEdit>(Form_GPS, "Edit_DGPSAge")->text(), "30");
    EXPECT_EQ(Ui<QComboBox>(Form_GPS, "ComboBox_RMode")->currentText(), "Full Position (3D)");
    EXPECT_EQ(Ui<QComboBox>(Form_GPS, "ComboBox_DCode")->currentText(), "Land");
    // The second "DGPS auto" row is code 3 and goes back as 3.
    EXPECT_EQ(Ui<QComboBox>(Form_GPS, "ComboBox_DifMode")->currentIndex(), 3);
    Ui<QLineEdit>(Form_GPS, "Edit_EMask")->setText("10");
    Form_GPS->Button_ApplyClick();
    EXPECT_EQ(Sent(), Frame(GpsSet(4, 3, 1, {0x3E, 0x32, 0xB8, 0xC3},
                                   {0x40, 0x80, 0, 0, 0x41, 0x40, 0, 0, 0x40, 0xC0, 0, 0}, 30)));
}

// Every port keeps its own last report: the dialog shows the display port's
// when it opens and when the display port changes while it is open; reopening
// without a new report keeps what the user typed and did not send.
TEST_F(GpsDialog, ShowsTheDisplayPortsOwnReportAndKeepsUnsentEdits)
{
    auto com3 = AttachFakeSerial(2);
    PortTable[0].monitored = 1; // COM1 stays open when the display moves to COM3
    Deliver(GpsReport(4, 1, 1, {0, 0, 0, 0}, 30));
    Form_Main->ChooseDisplayCom(3);
    Feed(*com3, Frame(GpsReport(3, 0, 2, {0, 0, 0, 0}, 7)));
    Tick();
    Form_GPS->showForm();
    EXPECT_EQ(Ui<QLineEdit>(Form_GPS, "Edit_DGPSAge")->text(), "7");
    EXPECT_EQ(Ui<QComboBox>(Form_GPS, "ComboBox_RMode")->currentIndex(), 3);
    Form_Main->ChooseDisplayCom(1);
    EXPECT_EQ(Ui<QLineEdit>(Form_GPS, "Edit_DGPSAge")->text(), "30");
    EXPECT_EQ(Ui<QComboBox>(Form_GPS, "ComboBox_RMode")->currentIndex(), 4);
    Ui<QLineEdit>(Form_GPS, "Edit_DGPSAge")->setText("99");
    Form_GPS->Button_CancelClick();
    Form_GPS->showForm();
    EXPECT_EQ(Ui<QLineEdit>(Form_GPS, "Edit_DGPSAge")->text(), "99");
}

TEST_F(GpsDialog, AgeLimitIsTruncatedToItsLowByte)
{
    const std::pair<const char*, uint8_t> cases[] = {{"12.9", 12}, {"300", 44}, {"-1", 255}, {"-0.5", 0}};
    for (const auto& [text, age] : cases) {
        Ui<QLineEdit>(Form_GPS, "Edit_DGPSAge")->setText(text);
        Form_GPS->Button_ApplyClick();
        const std::vector<uint8_t> sent = Sent();
        EXPECT_EQ(sent, Frame(GpsSet(0xFF, 0xFF, 0xFF, {0xBC, 0x8E, 0xFA, 0x35}, kMinusOneMasks, age))) << text;
    }
}

TEST_F(GpsDialog, ValuesBeyondTheSingleRangeAreRefusedNotSentAsInfinity)
{
    // Each field in turn: a receiver must never be sent an infinite mask.
    QLineEdit* const fields[] = {Ui<QLineEdit>(Form_GPS, "Edit_EMask"), Ui<QLineEdit>(Form_GPS, "Edit_SMask"),
                                 Ui<QLineEdit>(Form_GPS, "Edit_PMask"), Ui<QLineEdit>(Form_GPS, "Edit_PSwitch")};
    for (QLineEdit* field : fields) {
        const QString before = field->text();
        field->setText("-1e39");
        Form_GPS->showForm();
        Form_GPS->Button_OKClick();
        EXPECT_TRUE(Sent().empty()) << field->objectName().toStdString();
        EXPECT_TRUE(Form_GPS->isVisible());
        ASSERT_FALSE(ui.boxes.empty());
        EXPECT_EQ(ui.boxes.back().text, "'-1e39' is not a valid floating point value");
        field->setText(before);
    }
    // The largest single value itself still goes out.
    Ui<QLineEdit>(Form_GPS, "Edit_SMask")->setText("3.4028234e38");
    Form_GPS->Button_ApplyClick();
    EXPECT_EQ(Sent(), Frame(GpsSet(0xFF, 0xFF, 0xFF, {0xBC, 0x8E, 0xFA, 0x35},
                                   {0x7F, 0x7F, 0xFF, 0xFF, 0xBF, 0x80, 0, 0, 0xBF, 0x80, 0, 0}, 0xFF)));
}

TEST_F(GpsDialog, ReportsOfAnotherLengthAndUnknownCodesAreHandled)
{
    std::vector<uint8_t> shortReport = GpsReport(4, 1, 2, {0x3E, 0x32, 0xB8, 0xC3}, 9);
    shortReport.pop_back();
    Deliver(shortReport);
    std::vector<uint8_t> longReport = GpsReport(4, 1, 2, {0x3E, 0x32, 0xB8, 0xC3}, 9);
    longReport.push_back(0);
    Deliver(longReport);
    Form_GPS->showForm();
    EXPECT_EQ(Ui<QComboBox>(Form_GPS, "ComboBox_RMode")->currentIndex(), -1);
    EXPECT_EQ(Ui<QLineEdit>(Form_GPS, "Edit_EMask")->text(), "-1");
    // A code the list has no row for leaves it blank, and it goes back as 255.
    Deliver(GpsReport(9, 1, 2, {0, 0, 0, 0}, 9));
    EXPECT_EQ(Ui<QComboBox>(Form_GPS, "ComboBox_RMode")->currentIndex(), -1);
    EXPECT_EQ(Ui<QComboBox>(Form_GPS, "ComboBox_DifMode")->currentIndex(), 1);
}

TEST_F(GpsDialog, AWordInAFieldStopsOkAndApplyWithTheMessage)
{
    Form_GPS->showForm();
    Ui<QLineEdit>(Form_GPS, "Edit_PMask")->setText("twelve");
    Form_GPS->Button_OKClick();
    Form_GPS->Button_ApplyClick();
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(Form_GPS->isVisible());
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "'twelve' is not a valid floating point value");
    EXPECT_EQ(ui.boxes[0].buttons, ui::Buttons::Ok);
    Ui<QLineEdit>(Form_GPS, "Edit_PMask")->setText("");
    Form_GPS->Button_ApplyClick();
    EXPECT_EQ(ui.boxes.back().text, "'' is not a valid floating point value");
    EXPECT_TRUE(Sent().empty());
}

TEST_F(GpsDialog, OkSendsAndHidesCloseHidesWithoutSending)
{
    Form_GPS->showForm();
    Form_GPS->Button_CancelClick();
    EXPECT_FALSE(Form_GPS->isVisible());
    EXPECT_TRUE(Sent().empty());
    Form_GPS->showForm();
    Form_GPS->Button_OKClick();
    EXPECT_FALSE(Form_GPS->isVisible());
    EXPECT_EQ(Sent(), Frame(GpsSet(0xFF, 0xFF, 0xFF, {0xBC, 0x8E, 0xFA, 0x35}, kMinusOneMasks, 0xFF)));
}

TEST_F(GpsDialog, MenuSendsTheQueryAndShowsTheDialog)
{
    Form_Main->ConfigureGPSClick();
    EXPECT_EQ(Sent(), Frame({0xBB, 0x03}));
    EXPECT_TRUE(Form_GPS->isVisible());
}

TEST(DecimalParsing, OrdinaryNumbersAreAcceptedAndTheRestRefused)
{
    const std::pair<const char*, double> good[] = {
        {"-1", -1.0}, {" 12.5 ", 12.5}, {"+3", 3.0}, {".5", 0.5}, {"5.", 5.0}, {"-1.5e3", -1500.0}, {"2E-2", 0.02}};
    for (const auto& [text, value] : good) {
        const auto parsed = ParseDecimal(text);
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_DOUBLE_EQ(*parsed, value) << text;
    }
    for (const char* bad : {"", " ", "1,5", "0x10", "inf", "nan", "1e999", "1.2.3", "- 1", "1e", "abc", "1 2", "e5"})
        EXPECT_FALSE(ParseDecimal(bad).has_value()) << bad;
}

} // namespace
