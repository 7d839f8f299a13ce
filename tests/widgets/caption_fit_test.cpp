// What the user reads fits where it is shown: every caption of the main window
// after the widest reports, at the design font and at a 144 dpi font; the
// tracking window's satellite list; the initial position fields; and numbers
// too large for their field, which show an overflow text instead of a cut.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <cmath>

#include "config/datum_names.h"
#include "config/form_initial_pos.h"
#include "core/main_window.h"
#include "display/form_track.h"
#include "link/shared_flags.h"
#include "logging/record_status.h"
#include "report_delivery.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"

namespace {

constexpr int kDisplaySlot = 0;

// The width a label's text may take: inside its frame and margins, less the
// indent Qt puts before left- or right-aligned text in a frame.
int Room(const QLabel& label)
{
    int room = label.contentsRect().width() - 2 * label.margin();
    if (!(label.alignment() & Qt::AlignHCenter)) {
        const int indent = label.indent() >= 0 ? label.indent()
                           : label.frameWidth() > 0 ? label.fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2
                                                    : 0;
        room -= indent;
    }
    return room;
}

void ExpectFits(const QLabel& label, const char* when)
{
    const int width = label.fontMetrics().horizontalAdvance(label.text());
    EXPECT_LE(width, Room(label)) << when << ": " << label.objectName().toStdString() << " \""
                                  << label.text().toStdString() << "\"";
}

// Every visible caption of the client area fits its field, and every caption
// lies inside its region's border.
void ExpectMainWindowFits(const char* when)
{
    for (QLabel* label : Main<QWidget>("ClientArea")->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(Form_Main) || label == MainPanel("Panel_Hint")) // the hint line shows passing hints
            continue;
        ExpectFits(*label, when);
        const auto* region = qobject_cast<const QFrame*>(label->parentWidget());
        if (region && region->frameWidth() > 0) {
            EXPECT_TRUE(region->contentsRect().contains(label->geometry()))
                << when << ": " << label->objectName().toStdString() << " crosses the border of "
                << region->objectName().toStdString();
        }
    }
}

int WidestDatum()
{
    const QFontMetrics metrics(MainPanel("Panel_Datum")->font());
    int widest = 0;
    for (int i = 1; i < kDatumCount; ++i)
        if (metrics.horizontalAdvance(DatumNames[i]) > metrics.horizontalAdvance(DatumNames[widest]))
            widest = i;
    return widest;
}

// Wednesday 23:59:59 as a time of fix.
constexpr float kLateWednesday = 3 * 86400 + 86399.0f;
constexpr float kDegToRad = 3.14159265f / 180;

// The widest texts the decoders write, in two rounds (LLA and ECEF).
void DeliverWidestReports()
{
    Deliver(kDisplaySlot, Report45{{12, 34, 12, 31, 99}, {12, 34, 12, 31, 99}}, &EncodeReport45);
    Deliver(kDisplaySlot, Report55{0x0E, 0x02, 0x01, 0}, &EncodeReport55); // MSL, UTC
    DeliverMessage(kDisplaySlot, Message(Report8F15{static_cast<uint16_t>(WidestDatum())}, &EncodeReport8F15));
    Deliver(kDisplaySlot, Report41{kLateWednesday, 1720, 15}, &EncodeReport41); // 2012-12-26
    Deliver(kDisplaySlot, Report46{12, 0x11}, &EncodeReport46);
    Deliver(kDisplaySlot, Report4B{0, 0x0A, 0}, &EncodeReport4B);
    Deliver(kDisplaySlot, Report82{2}, &EncodeReport82);
    Report6D fix{0xC4, 99.9f, 99.9f, 99.9f, 99.9f, 12, {}};
    Deliver(kDisplaySlot, fix, &EncodeReport6D);
    for (uint8_t chan = 0; chan < 8; ++chan) {
        const Report5C r{static_cast<uint8_t>(32 - chan), static_cast<uint8_t>(chan << 3), 1, 1, 99.9f, 1e4f,
                         -89.9f * kDegToRad, -179.9f * kDegToRad, 0, 0, 0, 0};
        Deliver(kDisplaySlot, r, &EncodeReport5C);
    }
    Deliver(kDisplaySlot, Report56{-1234.56f, -1234.56f, -1234.56f, 0, 0}, &EncodeReport56);
    Deliver(kDisplaySlot, Report4A{-37.9f * kDegToRad, -179.9f * kDegToRad, -12345.6f, 0, kLateWednesday},
            &EncodeReport4A);
    Deliver(kDisplaySlot, Report4A{-37.8f * kDegToRad, -179.8f * kDegToRad, -12345.6f, 0, kLateWednesday},
            &EncodeReport4A); // about 11 km from the reference
    Flags.RawRecordingOn = Flags.DataLoggingOn = 1;
    ShowRecordStatus();
    ExpectMainWindowFits("LLA");
    Deliver(kDisplaySlot, Report43{-7654.32f, -7654.32f, -7654.32f, 0, 0}, &EncodeReport43);
    Deliver(kDisplaySlot, Report42{-6378137, -6378137, -6378137, kLateWednesday}, &EncodeReport42);
    ExpectMainWindowFits("ECEF");
}

class CaptionsFit : public testing::TestWithParam<double> {
protected:
    void SetUp() override
    {
        SetDesignScale(GetParam());
        ASSERT_NE(StartMonitorOnFake(kDisplaySlot + 1), nullptr);
        Form_Main->SetMultiportLayout();
    }
    void TearDown() override { SetDesignScale(1.0); }
};

TEST_P(CaptionsFit, EveryMainWindowCaptionFitsAfterTheWidestReports)
{
    ExpectMainWindowFits("at start");
    DeliverWidestReports();
    // Realistic values are shown whole, not as an overflow.
    EXPECT_EQ(MainPanel("Panel_X")->text(), "-6378137.00");
    EXPECT_EQ(MainPanel("Panel_Vel", 0)->text(), "-7654.32");
    EXPECT_EQ(MainPanel("Panel_AZ", 0)->text(), "-179.9");
    EXPECT_EQ(MainPanel("Panel_PDOP")->text(), "99.9");
}

TEST_P(CaptionsFit, TheWholeSatelliteSelectionShowsInTheTrackingWindow)
{
    Report6D fix{0xE4, 1, 1, 1, 1, 14, {}};
    for (int i = 0; i < 14; ++i)
        fix.prns[static_cast<size_t>(i)] = static_cast<int8_t>(i + 10);
    Deliver(kDisplaySlot, fix, &EncodeReport6D);
    const Panel& list = *Ui<Panel>(Form_Track, "Panel_SVSel");
    ASSERT_TRUE(list.text().endsWith("  23"));
    const QRect room = list.contentsRect().adjusted(Room(list) - list.contentsRect().width(), 0, 0, 0);
    const int wrap = list.wordWrap() ? Qt::TextWordWrap : 0;
    const QRect needed = list.fontMetrics().boundingRect(room, wrap | Qt::AlignLeft, list.text());
    EXPECT_LE(needed.height(), room.height()) << list.text().toStdString();
    EXPECT_LE(needed.width(), room.width());
    EXPECT_TRUE(Form_Track->rect().contains(list.geometry()));
}

TEST_P(CaptionsFit, InitialPositionFieldsShowTheWholeSignedValue)
{
    for (QLineEdit* edit : {Ui<QLineEdit>(Form_InitialPos, "Edit_X"), Ui<QLineEdit>(Form_InitialPos, "Edit_Lon"),
                            Ui<QLineEdit>(Form_InitialPos, "Edit_Alt")}) {
        edit->setText("-6378137.12");
        // Qt keeps 2 pixels of margin each side inside the frame.
        const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
        const int room = edit->width() - 2 * frame - 4;
        EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()), room) << edit->objectName().toStdString();
        EXPECT_TRUE(edit->parentWidget()->rect().contains(edit->geometry()));
    }
    for (const QLabel* label : Form_InitialPos->findChildren<QLabel*>())
        ExpectFits(*label, "initial position");
}

INSTANTIATE_TEST_SUITE_P(DesignAnd144Dpi, CaptionsFit, testing::Values(1.0, 1.5));

// CTest runs these tests twice, naming the font set in JX_FONT_SET: "bare"
// (no URW fonts) and "urw". Qt must really see that set, or both runs would
// test the same fonts.
TEST(FontSet, TheRunsFontSetIsTheOneQtUses)
{
    const QByteArray set = qgetenv("JX_FONT_SET");
    if (set.isEmpty())
        GTEST_SKIP() << "no font set named (run outside CTest)";
    QFont courier("Courier");
    courier.setStyleHint(QFont::TypeWriter);
    const QString family = QFontInfo(courier).family(); // "Nimbus Mono PS [urw]" where foundries differ
    if (set == "urw")
        EXPECT_TRUE(family.startsWith("Nimbus Mono PS")) << family.toStdString() << ": fonts-urw-base35 missing?";
    else
        EXPECT_FALSE(family.startsWith("Nimbus Mono PS")) << family.toStdString();
}

TEST(NumberOverflow, NumbersTooWideForTheirFieldShowABoundNotACutNumber)
{
    ASSERT_NE(StartMonitorOnFake(kDisplaySlot + 1), nullptr);
    Report6D fix{0x44, 1e30f, -1e30f, NAN, INFINITY, 0, {}};
    Deliver(kDisplaySlot, fix, &EncodeReport6D);
    const QString pdop = MainPanel("Panel_PDOP")->text();
    EXPECT_TRUE(pdop.startsWith("> 9")) << pdop.toStdString();
    EXPECT_EQ(pdop.count('9'), pdop.size() - 2) << pdop.toStdString();
    EXPECT_TRUE(MainPanel("Panel_HDOP")->text().startsWith("< -9")) << MainPanel("Panel_HDOP")->text().toStdString();
    EXPECT_EQ(MainPanel("Panel_VDOP")->text(), "NaN");
    EXPECT_TRUE(MainPanel("Panel_TDOP")->text().startsWith("> 9"));
    for (const Panel* p : {MainPanel("Panel_PDOP"), MainPanel("Panel_HDOP"), Ui<Panel>(Form_Track, "Panel_PDOP")})
        ExpectFits(*p, "overflow");
    // A far position and velocity are bounded too; the altitude that fits is shown whole.
    Deliver(kDisplaySlot, Report42{3e12f, -3e12f, 1234.5f, 0}, &EncodeReport42);
    Deliver(kDisplaySlot, Report43{5e12f, 0, 0, 0, 0}, &EncodeReport43);
    EXPECT_TRUE(MainPanel("Panel_X")->text().startsWith("> 9"));
    EXPECT_TRUE(MainPanel("Panel_Y")->text().startsWith("< -9"));
    EXPECT_EQ(MainPanel("Panel_Alt_Z")->text(), "1234.50");
    EXPECT_TRUE(MainPanel("Panel_Vel", 0)->text().startsWith("> 9"));
}

} // namespace
