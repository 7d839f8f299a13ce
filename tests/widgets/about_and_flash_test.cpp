// The about box, and the save-to-flash confirmation that report 0x8F-26
// brings from the display port and from monitored ports.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QPushButton>
#include <QSet>

#include "monitor/monitor.h"
#include "config/form_about.h"
#include "core/main_window.h"
#include "link/port_table.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "support/ui_script_gui.h"

namespace {

TEST(AboutBox, ShowsAPictureTheVersionAndOk)
{
    ASSERT_NE(StartMonitorOnFake(1), nullptr);
    TForm_About* form = Form_About;
    EXPECT_EQ(form->windowTitle(), "About JX_Monitor");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Ui<QLabel>(form, "Image_Logo")->size(), QSize(150, 61));
    const QImage picture = Ui<QLabel>(form, "Image_Logo")->pixmap().toImage();
    EXPECT_EQ(picture.size(), QSize(150, 61));
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 3)
        for (int x = 0; x < picture.width(); x += 3)
            colours.insert(picture.pixel(x, y));
    EXPECT_GT(colours.size(), 10); // drawn, not a blank fill
    EXPECT_EQ(Ui<Label>(form, "Label_Version")->text(), "Version 1.00");
    EXPECT_EQ(Ui<QPushButton>(form, "Button_OK")->text(), "&OK");
    // The picture sits above the version, the version above the button.
    EXPECT_LT(Ui<QLabel>(form, "Image_Logo")->geometry().bottom(), Ui<Label>(form, "Label_Version")->y());
    EXPECT_LT(Ui<Label>(form, "Label_Version")->geometry().bottom(), Ui<QPushButton>(form, "Button_OK")->y());

    MainAction("HelpAbout")->trigger();
    EXPECT_TRUE(form->isVisible());
    Ui<QPushButton>(form, "Button_OK")->click();
    EXPECT_FALSE(form->isVisible());
}

class FlashConfirmation : public testing::Test {
protected:
    void SetUp() override
    {
        display = StartMonitorOnFake(1);
        ASSERT_NE(display, nullptr);
        PortTable[0].searchStep = 0;
        Monitor::Instance().SetAutoQuery(false);
        monitoredPort = AttachFakeSerial(3);
        PortTable[3].monitored = 1;
        quietPort = AttachFakeSerial(5); // open, neither display nor monitored
    }

    // A 0x8F-26 report with the given number of data bytes after the subcode.
    static std::vector<uint8_t> Report(size_t statusBytes)
    {
        std::vector<uint8_t> m(2 + statusBytes, 0x00);
        m[0] = 0x8F;
        m[1] = 0x26;
        return Frame(m);
    }

    std::shared_ptr<FakeSerial::State> display, monitoredPort, quietPort;
    ScriptedUi ui;
};

TEST_F(FlashConfirmation, FiveDataBytesFromTheDisplayPortShowTheBox)
{
    Feed(*display, Report(4));
    Tick();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Settings successfully saved to Flash.");
    EXPECT_EQ(ui.boxes[0].title, "Success");
    EXPECT_EQ(ui.boxes[0].buttons, ui::Buttons::Ok);
}

TEST_F(FlashConfirmation, OtherLengthsShowNothing)
{
    for (size_t statusBytes : {0u, 3u, 5u, 20u})
        Feed(*display, Report(statusBytes));
    Feed(*monitoredPort, Report(3));
    Tick();
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(FlashConfirmation, EveryConfirmingPortThatIsDecodedGetsItsOwnBox)
{
    Feed(*display, Report(4));
    Feed(*monitoredPort, Report(4));
    Feed(*quietPort, Report(4)); // neither shown nor monitored: only counted
    Tick();
    EXPECT_EQ(ui.boxes.size(), 2u);
    EXPECT_TRUE(PortTable[5].packetSeen);
}

} // namespace
