// The I/O options dialog: 0x55 and 0x8F-15 into the dialog and the main
// window's labels, the radio groups and the datum into 0x35 and 0x8E-15.
#include <QComboBox>

#include "config/form_io_options.h"
#include "config/radio_group.h"
#include "config_test_support.h"
#include "core/main_window.h"
#include "link/commands.h"
#include "platform/widgets.h"
#include "support/ui_find.h"

namespace {

class IoOptionsDialog : public ConfigDialogTest {
protected:
    // Rows of Format, AltOut, AltIn, Precision, Velocity, Timing.
    static void Choose(int format, int altOut, int altIn, int precision, int velocity, int timing)
    {
        Ui<RadioGroup>(Form_IOOptions, "RadioGroup_Format")->setItemIndex(format);
        Ui<RadioGroup>(Form_IOOptions, "RadioGroup_AltOut")->setItemIndex(altOut);
        Ui<RadioGroup>(Form_IOOptions, "RadioGroup_AltIn")->setItemIndex(altIn);
        Ui<RadioGroup>(Form_IOOptions, "RadioGroup_Precision")->setItemIndex(precision);
        Ui<RadioGroup>(Form_IOOptions, "RadioGroup_Velocity")->setItemIndex(velocity);
        Ui<RadioGroup>(Form_IOOptions, "RadioGroup_Timing")->setItemIndex(timing);
    }

    static std::vector<int> Rows()
    {
        auto* f = Form_IOOptions;
        return {Ui<RadioGroup>(f, "RadioGroup_Format")->itemIndex(),
                Ui<RadioGroup>(f, "RadioGroup_AltOut")->itemIndex(),
                Ui<RadioGroup>(f, "RadioGroup_AltIn")->itemIndex(),
                Ui<RadioGroup>(f, "RadioGroup_Precision")->itemIndex(),
                Ui<RadioGroup>(f, "RadioGroup_Velocity")->itemIndex(),
                Ui<RadioGroup>(f, "RadioGroup_Timing")->itemIndex()};
    }

    // The option frame followed by the datum frame.
    static std::vector<uint8_t> Expected(std::vector<uint8_t> options, uint8_t datumHigh, uint8_t datumLow)
    {
        options.insert(options.begin(), 0x35);
        std::vector<uint8_t> out = Frame(options);
        const std::vector<uint8_t> datum = Frame({0x8E, 0x15, datumHigh, datumLow});
        out.insert(out.end(), datum.begin(), datum.end());
        return out;
    }

    static std::vector<uint8_t> DatumReport(uint8_t high, uint8_t low, size_t dataBytes = 43)
    {
        std::vector<uint8_t> m = {0x8F, 0x15, high, low};
        m.resize(1 + dataBytes, 0);
        return m;
    }
};

TEST_F(IoOptionsDialog, StartsWithNoRowsAndALockedDatumList)
{
    EXPECT_EQ(Form_IOOptions->windowTitle(), "I/O Options");
    EXPECT_EQ(Rows(), std::vector<int>(6, -1));
    EXPECT_EQ(Ui<RadioGroup>(Form_IOOptions, "RadioGroup_AltOut")->title(), "LLA Altitude output");
    EXPECT_EQ(Ui<QComboBox>(Form_IOOptions, "ComboBox_Datum")->count(), 180);
    EXPECT_EQ(Ui<QComboBox>(Form_IOOptions, "ComboBox_Datum")->itemText(4),
              Ui<QComboBox>(Form_IOOptions, "ComboBox_Datum")->itemText(13));
    EXPECT_FALSE(Ui<QComboBox>(Form_IOOptions, "ComboBox_Datum")->isEnabled());
    EXPECT_FALSE(Ui<Label>(Form_IOOptions, "Label_Datum")->isEnabled());
    EXPECT_EQ(Ui<QComboBox>(Form_IOOptions, "ComboBox_Datum")->palette().color(QPalette::Base), ButtonFaceColour());
    Form_IOOptions->EnableDatum();
    EXPECT_TRUE(Ui<QComboBox>(Form_IOOptions, "ComboBox_Datum")->isEnabled());
    EXPECT_EQ(Ui<QComboBox>(Form_IOOptions, "ComboBox_Datum")->palette().color(QPalette::Base), WindowColour());
}

TEST_F(IoOptionsDialog, LlaMslDoubleEnuUtcSends16020100)
{
    Choose(1, 1, 0, 1, 1, 1);
    Form_IOOptions->Button_ApplyClick();
    EXPECT_EQ(Sent(), Expected({0x16, 0x02, 0x01, 0x00}, 0xFF, 0xFF)); // no datum row: 0xFFFF
    EXPECT_EQ(LogTriggerId[0], 1); // the data logger picks its pacing report again
}

TEST_F(IoOptionsDialog, XyzHaeSingleXyzGpsSends01010000WithTheDatum)
{
    Choose(0, 0, 0, 0, 0, 0);
    Deliver(DatumReport(0, 179));
    Form_IOOptions->showForm();
    Form_IOOptions->Button_OKClick();
    EXPECT_EQ(Sent(), Expected({0x01, 0x01, 0x00, 0x00}, 0x00, 0xB3));
    EXPECT_FALSE(Form_IOOptions->isVisible());
}

TEST_F(IoOptionsDialog, Report16020100SelectsTheRowsAndSetsMslAndUtc)
{
    Deliver({0x55, 0x16, 0x02, 0x01, 0x00});
    Form_IOOptions->showForm();
    EXPECT_EQ(Rows(), (std::vector<int>{1, 1, 0, 1, 1, 1}));
    EXPECT_EQ(Form_Main->Label_Datum->caption(), "MSL");
    EXPECT_EQ(HintOf(Form_Main->Label_Datum), "Mean Sea Level (geoid)");
    EXPECT_EQ(Form_Main->Label_TimeMode->caption(), "UTC");
    Form_IOOptions->Button_ApplyClick();
    EXPECT_EQ(Sent(), Expected({0x16, 0x02, 0x01, 0x00}, 0xFF, 0xFF));
}

TEST_F(IoOptionsDialog, Report01010000GoesBackUnchangedWithGps)
{
    Deliver({0x55, 0x01, 0x01, 0x00, 0x00});
    Form_IOOptions->showForm();
    EXPECT_EQ(Rows(), std::vector<int>(6, 0));
    EXPECT_EQ(Form_Main->Label_TimeMode->caption(), "GPS");
    EXPECT_EQ(Form_Main->Label_Datum->caption(), "");
    Form_IOOptions->Button_ApplyClick();
    EXPECT_EQ(Sent(), Expected({0x01, 0x01, 0x00, 0x00}, 0xFF, 0xFF));
}

TEST_F(IoOptionsDialog, AltitudeReferenceFollowsLlaAndMsl)
{
    Deliver({0x55, 0x02, 0x00, 0x00, 0x00}); // the main window follows with the dialog closed
    EXPECT_EQ(Form_Main->Label_Datum->caption(), "HAE");
    EXPECT_EQ(HintOf(Form_Main->Label_Datum), "Height Above Ellipsoid (datum)");
    Form_IOOptions->showForm();
    Deliver({0x55, 0x05, 0x00, 0x00, 0x00}); // XYZ with the MSL bit
    EXPECT_EQ(Ui<RadioGroup>(Form_IOOptions, "RadioGroup_Format")->itemIndex(), 0);
    EXPECT_EQ(Ui<RadioGroup>(Form_IOOptions, "RadioGroup_AltOut")->itemIndex(), 1);
    EXPECT_EQ(Form_Main->Label_Datum->caption(), "");
    EXPECT_EQ(HintOf(Form_Main->Label_Datum), "");
    Deliver({0x55, 0x16, 0x02, 0x01}); // three bytes: ignored
    EXPECT_EQ(Ui<RadioGroup>(Form_IOOptions, "RadioGroup_Format")->itemIndex(), 0);
}

TEST_F(IoOptionsDialog, DatumReportNamesTheDatumInTheListAndTheMainWindow)
{
    Form_IOOptions->showForm();
    Deliver(DatumReport(0, 0));
    EXPECT_EQ(Ui<QComboBox>(Form_IOOptions, "ComboBox_Datum")->currentText(), "WGS-84");
    EXPECT_EQ(Form_Main->Panel_Datum->caption(), "WGS-84");
    Deliver(DatumReport(0, 179));
    EXPECT_EQ(Ui<QComboBox>(Form_IOOptions, "ComboBox_Datum")->currentText(), "Tokyo GSI coords");
    EXPECT_EQ(Form_Main->Panel_Datum->caption(), "Tokyo GSI coords");
    Deliver(DatumReport(0, 123, 42));
    EXPECT_EQ(Form_Main->Panel_Datum->caption(), "Tokyo GSI coords");
    Deliver(DatumReport(0, 200));
    EXPECT_EQ(Ui<QComboBox>(Form_IOOptions, "ComboBox_Datum")->currentIndex(), -1);
    EXPECT_EQ(Form_Main->Panel_Datum->caption(), "");
    Deliver(DatumReport(1, 0)); // 256
    EXPECT_EQ(Ui<QComboBox>(Form_IOOptions, "ComboBox_Datum")->currentIndex(), -1);
}

TEST_F(IoOptionsDialog, AGroupWithoutARowRefusesTheSendAndNamesIt)
{
    Choose(1, 1, 0, 1, -1, 1);
    Form_IOOptions->showForm();
    Form_IOOptions->Button_OKClick();
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(Form_IOOptions->isVisible());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.indexOf("Velocity: Output"), -1) << ui.boxes[0].text.toStdString();
}

TEST_F(IoOptionsDialog, MenuQueriesDatumThenOptions)
{
    Form_Main->ConfigureIOClick();
    std::vector<uint8_t> expected = Frame({0x8E, 0x15});
    const std::vector<uint8_t> options = Frame({0x35});
    expected.insert(expected.end(), options.begin(), options.end());
    EXPECT_EQ(Sent(), expected);
    EXPECT_TRUE(Form_IOOptions->isVisible());
}

} // namespace
