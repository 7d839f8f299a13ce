// The sky plot, the signal levels and the position scatter: reports handed to
// the dispatch, then what each window would draw read back from it. Expected
// positions and statistics are worked out by hand in the comments.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLineF>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <memory>
#include <utility>

#include "core/main_window.h"
#include "link/packets.h"
#include "model/formats/log_record.h"
#include "model/port_reports.h"
#include "support/monitor_gui.h"
#include "support/ui_script_gui.h"
#include "views/form_scatter.h"
#include "views/form_signal.h"
#include "views/form_sky.h"
#include "views/level_scale.h"
#include "views/view_support.h"
#include "report_delivery.h"

namespace {

constexpr int kDisplaySlot = 0; // COM1
constexpr int kMonitoredSlot = 3;
constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
constexpr double kA = 6378137.0;         // WGS-84: one metre east at the equator is 1 / a rad
constexpr double kM = 6335439.327;       // a (1 - e^2): one metre north at the equator is 1 / M rad

void SendChannel(int slot, int channel, uint8_t prn, float level, double azimuthDeg = 0, double elevationDeg = 45)
{
    Report5C r;
    r.prn = prn;
    r.channelSlot = static_cast<uint8_t>(channel << 3);
    r.signalLevelAmu = level;
    r.azimuthRad = static_cast<float>(azimuthDeg * kDegToRad);
    r.elevationRad = static_cast<float>(elevationDeg * kDegToRad);
    Deliver(slot, r, &EncodeReport5C);
}

// A multi-GNSS receiver's channel: its level in dB-Hz.
void SendGnssChannel(int slot, int channel, uint8_t prn, float levelDbHz, double azimuthDeg, double elevationDeg)
{
    Report5D r;
    r.prn = prn;
    r.channel = static_cast<uint8_t>(channel);
    r.signalLevelDbHz = levelDbHz;
    r.azimuthRad = static_cast<float>(azimuthDeg * kDegToRad);
    r.elevationRad = static_cast<float>(elevationDeg * kDegToRad);
    r.system = 1;
    Deliver(slot, r, &EncodeReport5D);
}

// A double-precision LLA fix this many metres north/east of (0 N, 0 E).
void SendLlaFix(int slot, double northM, double eastM, float fixTime)
{
    Deliver(slot, Report84{northM / kM, eastM / kA, 0.0, 0.0, fixTime}, &EncodeReport84);
}

class LiveViews : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(StartMonitorOnFake(kDisplaySlot + 1), nullptr);
        AttachFakeSerial(kMonitoredSlot);
        PortTable[kMonitoredSlot].monitored = 1;
        Form_Sky->resize(400, 450); // a plot of 348 x 348 inside the margins, over the legend
        Form_Signal->resize(500, 300);
        Form_Scatter->resize(400, 470);
    }

    static std::vector<int> SkyPrns()
    {
        std::vector<int> prns;
        for (const TForm_Sky::Mark& m : Form_Sky->Marks())
            prns.push_back(m.prn);
        return prns;
    }
};

TEST_F(LiveViews, SkyPlotPlacesSatellitesNorthUpWithTheZenithInTheCentre)
{
    struct Case {
        int channel, prn;
        double azimuth, elevation;
        double right, down; // expected offset from the centre, in horizon radii
    };
    const Case cases[] = {
        {0, 1, 0, 0, 0, -1},            // north on the horizon: straight up
        {1, 2, 90, 0, 1, 0},            // east: right
        {2, 3, 180, 30, 0, 2.0 / 3},    // south, 30 degrees up: on the 30-degree ring below
        {3, 4, 270, 60, -1.0 / 3, 0},   // west, 60 degrees up
        {5, 5, 45, 90, 0, 0},           // zenith: the centre
        {11, 6, -90, 45, -0.5, 0},      // the last channel; azimuth -90 is west
        {8, 7, 135, -5, 0.7071068, 0.7071068}, // below the horizon: drawn on it
    };
    SendFixList(kDisplaySlot, {2, 6});
    for (const Case& c : cases)
        SendChannel(kDisplaySlot, c.channel, static_cast<uint8_t>(c.prn), 12.0f, c.azimuth, c.elevation);
    SendChannel(kMonitoredSlot, 4, 30, 12.0f); // another port's satellite is not drawn

    const double horizon = Form_Sky->HorizonRadius();
    EXPECT_DOUBLE_EQ(horizon, 174.0);
    const QPointF centre = Form_Sky->PlotCentre();
    const std::vector<TForm_Sky::Mark> marks = Form_Sky->Marks();
    ASSERT_EQ(marks.size(), std::size(cases));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prn);
        auto mark = std::find_if(marks.begin(), marks.end(), [&](const auto& m) { return m.prn == c.prn; });
        ASSERT_NE(mark, marks.end());
        EXPECT_NEAR(mark->at.x(), centre.x() + c.right * horizon, 0.01);
        EXPECT_NEAR(mark->at.y(), centre.y() + c.down * horizon, 0.01);
        EXPECT_EQ(mark->inFix, c.prn == 2 || c.prn == 6);
    }

    // The drawn disc is filled with its level's colour (above the PRN text).
    SendChannel(kDisplaySlot, 0, 1, 3.0f, 0, 45);
    const QPointF weak = Form_Sky->Marks().front().at;
    const QImage image = Form_Sky->grab().toImage();
    const QColor drawn = image.pixelColor(weak.toPoint() - QPoint(0, 8));
    const QColor expected = LevelColour(3.0f);
    EXPECT_NEAR(drawn.red(), expected.red(), 2);
    EXPECT_NEAR(drawn.green(), expected.green(), 2);
    EXPECT_NEAR(drawn.blue(), expected.blue(), 2);
    EXPECT_NE(LevelColour(3.0f), LevelColour(18.0f));

    // Resizing moves the plot with the window.
    EXPECT_LT(Form_Sky->minimumWidth(), Form_Sky->maximumWidth());
    Form_Sky->resize(600, 650);
    EXPECT_DOUBLE_EQ(Form_Sky->HorizonRadius(), 274.0);
}

TEST_F(LiveViews, SignalBarsAreProportionalToLevelWithTheWeakestLevelMarked)
{
    PortReports[kDisplaySlot].latchRestart.fill(1); // as the data log does after each record
    SendFixList(kDisplaySlot, {9});
    SendChannel(kDisplaySlot, 0, 9, 10.0f);
    SendChannel(kDisplaySlot, 3, 6, 4.0f); // latches 4 AMU on channel 3 ...
    SendChannel(kDisplaySlot, 3, 7, 8.0f); // ... which stays under PRN 7's 8 AMU
    SendChannel(kDisplaySlot, 9, 12, -16.0f); // the magnitude counts

    std::vector<TForm_Signal::Bar> bars = Form_Signal->Bars();
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_EQ(bars[0].prn, 9);
    EXPECT_EQ(bars[1].prn, 7);
    EXPECT_EQ(bars[2].prn, 12);
    EXPECT_EQ(Form_Signal->ScaleTop(), 20.0);
    const double bottom = bars[0].rect.bottom();
    const double perAmu = bars[0].rect.height() / 10.0;
    EXPECT_GT(perAmu, 5.0);
    EXPECT_NEAR(bars[1].rect.height(), 8 * perAmu, 1e-9);
    EXPECT_NEAR(bars[2].rect.height(), 16 * perAmu, 1e-9);
    for (const TForm_Signal::Bar& b : bars)
        EXPECT_DOUBLE_EQ(b.rect.bottom(), bottom);
    EXPECT_LT(bars[0].rect.right(), bars[1].rect.left()); // side by side in channel order
    EXPECT_LT(bars[1].rect.right(), bars[2].rect.left());
    EXPECT_EQ(std::vector<bool>({bars[0].inFix, bars[1].inFix, bars[2].inFix}),
              std::vector<bool>({true, false, false}));
    // Channel 3's latch: PRN 6 at 4 AMU, a line half way up PRN 7's bar.
    ASSERT_TRUE(bars[1].latchY.has_value());
    EXPECT_EQ(bars[1].latchedPrn, 6);
    EXPECT_NEAR(bottom - *bars[1].latchY, 4 * perAmu, 1e-9);
    EXPECT_EQ(bars[0].latchY.has_value(), true); // latched on its first report after the restart
    EXPECT_NEAR(bottom - *bars[0].latchY, bars[0].rect.height(), 1e-9);

    // A level over 20 AMU raises the scale to the next 5 and keeps the proportions.
    SendChannel(kDisplaySlot, 0, 9, 23.0f);
    EXPECT_EQ(Form_Signal->ScaleTop(), 25.0);
    bars = Form_Signal->Bars();
    EXPECT_NEAR(bars[0].rect.height() / bars[1].rect.height(), 23.0 / 8.0, 1e-9);
    EXPECT_FALSE(Form_Signal->grab().isNull());
}

TEST_F(LiveViews, SatellitesDisappearFiveSecondsAfterTheirLastReport)
{
    SendChannel(kDisplaySlot, 2, 7, 10.0f);
    SendChannel(kDisplaySlot, 10, 8, 10.0f);
    Tick(20); // 4 s of 200 ms ticks: still tracked
    SendChannel(kDisplaySlot, 10, 8, 10.0f);
    EXPECT_EQ(SkyPrns(), (std::vector<int>{7, 8}));
    EXPECT_EQ(Form_Signal->Bars().size(), 2u);
    Tick(5); // 5 s after PRN 7's report
    EXPECT_EQ(SkyPrns(), (std::vector<int>{8}));
    ASSERT_EQ(Form_Signal->Bars().size(), 1u);
    EXPECT_EQ(Form_Signal->Bars()[0].prn, 8);
    Tick(25);
    EXPECT_TRUE(SkyPrns().empty());
    EXPECT_TRUE(Form_Signal->Bars().empty());
}

TEST_F(LiveViews, ScatterOfLlaAndEcefFixesAroundTheirMean)
{
    // Four LLA fixes 3 m north and south, 4 m east and west of (0 N, 0 E):
    // sigma N = sqrt(18/4) = 2.12, sigma E = sqrt(32/4) = 2.83; radii 3, 3, 4, 4: CEP50 = 3.5;
    // 2DRMS = 2 sqrt(4.5 + 8) = 7.07.
    SendLlaFix(kDisplaySlot, 3, 0, 100);
    SendLlaFix(kDisplaySlot, -3, 0, 101);
    SendLlaFix(kDisplaySlot, 0, 4, 102);
    SendLlaFix(kDisplaySlot, 0, -4, 103);
    ScatterStats s = Form_Scatter->Stats();
    EXPECT_EQ(s.count, 4u);
    EXPECT_NEAR(s.sigmaNorth, 2.12132, 1e-4);
    EXPECT_NEAR(s.sigmaEast, 2.82843, 1e-4);
    EXPECT_NEAR(s.cep50, 3.5, 1e-4);
    EXPECT_NEAR(s.drms2, 7.07107, 1e-4);
    EXPECT_EQ(Form_Scatter->SummaryText(), QString("Fixes: 4 (COM1)\n"
                                                   "Mean: 0.000000%1 N  0.000000%1 E  0.00 m\n"
                                                   "%2 north 2.12 m   %2 east 2.83 m   %2 up 0.00 m\n"
                                                   "CEP50 3.50 m   2DRMS 7.07 m")
                                               .arg(QChar(0x00B0))
                                               .arg(QChar(0x03C3)));
    // Drawn north up, east right, the mean in the centre.
    const std::vector<QPointF> points = Form_Scatter->Points();
    ASSERT_EQ(points.size(), 4u);
    const QPointF c = Form_Scatter->PlotCentre();
    const double k = Form_Scatter->PixelsPerMetre();
    EXPECT_GT(k, 10.0);
    EXPECT_NEAR(points[0].x(), c.x(), 1e-3);
    EXPECT_NEAR(points[0].y(), c.y() - 3 * k, 1e-3);
    EXPECT_NEAR(points[3].x(), c.x() - 4 * k, 1e-3);

    // Clear, then ECEF fixes at (a +- 1 or 2, +-4, +-3): at (0 N, 0 E) x is up, y east and z
    // north, so the same horizontal figure with up -1, +1, +2, -2: sigma U = sqrt(10/4) = 1.58.
    // Clear asks first; No (the default) keeps the fixes. Enter in the window does not press it.
    ScriptedUi ui;
    ui.answers = {ui::Answer::No, ui::Answer::Yes};
    Form_Scatter->show();
    QTest::keyClick(Form_Scatter, Qt::Key_Return);
    EXPECT_TRUE(ui.boxes.empty());
    auto* clear = Form_Scatter->findChild<QPushButton*>("Button_Clear");
    clear->click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Clear the 4 fixes of COM1 from the Position Scatter?");
    EXPECT_EQ(ui.boxes[0].defaultButton, ui::Answer::No);
    EXPECT_EQ(Form_Scatter->Stats().count, 4u);
    clear->click();
    EXPECT_EQ(Form_Scatter->Stats().count, 0u);
    EXPECT_EQ(Form_Scatter->SummaryText(), "Fixes: 0 (COM1)");
    Deliver(kDisplaySlot, Report83{kA - 1, 0, 3, 0, 200}, &EncodeReport83);
    Deliver(kDisplaySlot, Report83{kA + 1, 0, -3, 0, 201}, &EncodeReport83);
    Deliver(kDisplaySlot, Report42{static_cast<float>(kA + 2), 4, 0, 202}, &EncodeReport42);
    Deliver(kDisplaySlot, Report42{static_cast<float>(kA - 2), -4, 0, 203}, &EncodeReport42);
    s = Form_Scatter->Stats();
    EXPECT_EQ(s.count, 4u);
    EXPECT_NEAR(s.cep50, 3.5, 1e-4);
    EXPECT_NEAR(s.drms2, 7.07107, 1e-4);
    EXPECT_NEAR(s.sigmaUp, 1.58114, 1e-4);
    EXPECT_NEAR(s.mean.altM, 0.0, 1e-4);

    // One fix reported as both LLA and ECEF (same fix time) counts once; a bad one not at all.
    Deliver(kDisplaySlot, Report4A{0, 0, 0, 0, 204}, &EncodeReport4A);
    Deliver(kDisplaySlot, Report42{static_cast<float>(kA), 0, 0, 204}, &EncodeReport42);
    Deliver(kDisplaySlot, Report42{0, 0, 0, 205}, &EncodeReport42);
    Deliver(kDisplaySlot, Report84{NAN, 0, 0, 0, 206}, &EncodeReport84);
    EXPECT_EQ(Form_Scatter->Stats().count, 5u);
    EXPECT_FALSE(Form_Scatter->grab().isNull());
}

TEST_F(LiveViews, ScatterKeepsTheLast3600FixesOfEachPortWhileHidden)
{
    ASSERT_FALSE(Form_Scatter->isVisible());
    for (int i = 0; i < 3605; ++i)
        SendLlaFix(kDisplaySlot, i % 2 == 0 ? 1 : -1, 0, static_cast<float>(i));
    SendLlaFix(kMonitoredSlot, 0, 0, 1);
    EXPECT_EQ(Form_Scatter->Stats().count, 3600u);
    EXPECT_NEAR(Form_Scatter->Stats().sigmaNorth, 1.0, 1e-6);
}

TEST_F(LiveViews, ChangingTheDisplayPortShowsTheNewPortsSatellitesAndFixes)
{
    SendChannel(kDisplaySlot, 0, 1, 10.0f);
    SendLlaFix(kDisplaySlot, 0, 0, 1);
    SendChannel(kMonitoredSlot, 5, 21, 10.0f);
    SendChannel(kMonitoredSlot, 6, 22, 12.0f);
    SendLlaFix(kMonitoredSlot, 1, 0, 1);
    SendLlaFix(kMonitoredSlot, -1, 0, 2);
    EXPECT_EQ(SkyPrns(), std::vector<int>{1});

    Form_Main->ComboBox_DisplayComChange(kMonitoredSlot); // PortList is 1..16: index 3 is COM4
    ASSERT_EQ(DisplayPort, kMonitoredSlot + 1);
    EXPECT_EQ(SkyPrns(), (std::vector<int>{21, 22}));
    ASSERT_EQ(Form_Signal->Bars().size(), 2u);
    EXPECT_EQ(Form_Signal->Bars()[1].prn, 22);
    EXPECT_EQ(Form_Scatter->Stats().count, 2u);
    EXPECT_TRUE(Form_Scatter->SummaryText().startsWith("Fixes: 2 (COM4)"));
}

// WCAG contrast of two colours, 1 to 21; 3 is the least for marks and large text.
double Contrast(QColor a, QColor b)
{
    auto lum = [](QColor c) {
        auto f = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * f(c.redF()) + 0.7152 * f(c.greenF()) + 0.0722 * f(c.blueF());
    };
    const double la = lum(a), lb = lum(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Pixels of the rectangle that stand out from the background by at least 3:1.
int VisiblePixels(const QImage& image, QRect area, QColor background)
{
    int count = 0;
    area = area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += Contrast(image.pixelColor(x, y), background) >= 3.0;
    return count;
}

// A dark colour scheme, as desktops offer: the views must stay readable on it.
class DarkPalette {
public:
    DarkPalette() : saved_(QApplication::palette())
    {
        QPalette dark;
        for (auto role : {QPalette::Window, QPalette::Button})
            dark.setColor(role, QColor(53, 53, 53));
        dark.setColor(QPalette::Base, QColor(35, 35, 35));
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, QColor(225, 225, 225));
        QApplication::setPalette(dark);
    }
    ~DarkPalette() { QApplication::setPalette(saved_); }
    static QColor Base() { return QColor(35, 35, 35); }

private:
    QPalette saved_;
};

TEST_F(LiveViews, FixesLabelsAndMarksStayVisibleOnADarkPalette)
{
    DarkPalette dark;
    // Scatter: 59 fixes on a spiral; the dot at each fix must stand out.
    for (int i = 0; i < 59; ++i)
        SendLlaFix(kDisplaySlot, 0.1 * i * std::cos(i * 0.7), 0.1 * i * std::sin(i * 0.7), static_cast<float>(i));
    const QImage scatter = Form_Scatter->grab().toImage();
    int visibleFixes = 0;
    for (const QPointF& at : Form_Scatter->Points())
        visibleFixes += Contrast(scatter.pixelColor(at.toPoint()), DarkPalette::Base()) >= 3.0;
    EXPECT_EQ(visibleFixes, 59);

    // Signal: three satellites in the fix, each with a weakest-level mark.
    PortReports[kDisplaySlot].latchRestart.fill(1);
    SendFixList(kDisplaySlot, {5, 17, 29});
    for (int c = 0; c < 3; ++c) {
        SendChannel(kDisplaySlot, c, static_cast<uint8_t>(5 + 12 * c), 6.0f, 60.0 * c + 20, 40);
        SendChannel(kDisplaySlot, c, static_cast<uint8_t>(5 + 12 * c), 15.0f, 60.0 * c + 20, 40);
    }
    const QImage signal = Form_Signal->grab().toImage();
    for (const TForm_Signal::Bar& b : Form_Signal->Bars()) {
        SCOPED_TRACE(b.prn);
        const QRect label(QPoint(qRound(b.rect.left()) - 8, qRound(b.rect.bottom()) + 2),
                          QPoint(qRound(b.rect.right()) + 8, qRound(b.rect.bottom()) + 18));
        EXPECT_GE(VisiblePixels(signal, label, DarkPalette::Base()), 10) << "PRN caption";
        ASSERT_TRUE(b.latchY.has_value());
        const QRect mark(QPoint(qRound(b.rect.left()) - 4, qRound(*b.latchY) - 1),
                         QPoint(qRound(b.rect.left()) - 1, qRound(*b.latchY) + 1));
        EXPECT_GE(VisiblePixels(signal, mark, DarkPalette::Base()), 4) << "weakest-level mark";
    }

    // Sky: the ring that marks a satellite in the fix.
    const QImage sky = Form_Sky->grab().toImage();
    for (const TForm_Sky::Mark& m : Form_Sky->Marks()) {
        SCOPED_TRACE(m.prn);
        ASSERT_TRUE(m.inFix);
        int ring = 0; // directions in which the ring (radius 15, 2.5 wide) stands out
        for (int k = 0; k < 36; ++k) {
            const QPointF step(std::cos(k * 10 * kDegToRad), std::sin(k * 10 * kDegToRad));
            bool seen = false;
            for (double r : {14.0, 15.0, 16.0})
                seen |= Contrast(sky.pixelColor((m.at + r * step).toPoint()), DarkPalette::Base()) >= 3.0;
            ring += seen;
        }
        EXPECT_GE(ring, 33) << "fix ring";
    }
}

// Two satellites at nearly the same place (PRN 3 under PRN 8 in the demo)
// both stay readable: the later disc moves off, with a line to its place.
TEST_F(LiveViews, SatellitesAtTheSamePlaceKeepTheirDiscsApart)
{
    SendChannel(kDisplaySlot, 0, 8, 12.0f, 120.0, 35.0);
    SendChannel(kDisplaySlot, 1, 3, 12.0f, 120.5, 35.2);
    SendChannel(kDisplaySlot, 2, 9, 12.0f, 300.0, 60.0);
    const std::vector<TForm_Sky::Mark> marks = Form_Sky->Marks();
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(marks[0].disc, marks[0].at); // the first keeps its place, as does one with room
    EXPECT_EQ(marks[2].disc, marks[2].at);
    EXPECT_GE(QLineF(marks[0].disc, marks[1].disc).length(), 2 * TForm_Sky::kDiscRadius);
    EXPECT_LT(QLineF(marks[1].disc, marks[1].at).length(), 5 * TForm_Sky::kDiscRadius);
    // Drawn: each disc shows its own level colour where the other would have covered it.
    const QImage image = Form_Sky->grab().toImage();
    for (const TForm_Sky::Mark& m : {marks[0], marks[1]}) {
        const QColor drawn = image.pixelColor((m.disc - QPointF(0, 8)).toPoint());
        EXPECT_NEAR(drawn.green(), LevelColour(12.0f).green(), 2) << m.prn;
    }
}

// A multi-GNSS receiver reports dB-Hz: 26 is weak and 44 strong there, where
// on the AMU scale both would be past full green. Both views colour by the
// dB-Hz scale; the colours of the two differ as their strengths do.
TEST_F(LiveViews, DbHzLevelsAreColouredOnTheirOwnScale)
{
    SendGnssChannel(kDisplaySlot, 0, 5, 26.0f, 90, 30);
    SendGnssChannel(kDisplaySlot, 1, 17, 44.0f, 270, 30);
    const std::vector<TForm_Sky::Mark> marks = Form_Sky->Marks();
    ASSERT_EQ(marks.size(), 2u);
    const QImage sky = Form_Sky->grab().toImage();
    const std::vector<TForm_Signal::Bar> bars = Form_Signal->Bars();
    ASSERT_EQ(bars.size(), 2u);
    const QImage signal = Form_Signal->grab().toImage();
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(marks[i].label.toStdString());
        const QColor expected = LevelColour(marks[i].level, LevelUnit::DbHz);
        const QColor disc = sky.pixelColor((marks[i].disc - QPointF(0, 8)).toPoint());
        const QColor bar = signal.pixelColor(bars[i].rect.center().toPoint());
        for (const QColor& drawn : {disc, bar}) {
            EXPECT_NEAR(drawn.red(), expected.red(), 2);
            EXPECT_NEAR(drawn.green(), expected.green(), 2);
        }
    }
    EXPECT_GT(LevelColour(26.0f, LevelUnit::DbHz).red(), 200); // weak: towards red
    EXPECT_LT(LevelColour(26.0f, LevelUnit::DbHz).green(), 100);
    EXPECT_LT(LevelColour(44.0f, LevelUnit::DbHz).red(), 100); // strong: towards green
}

// The data logger clears the channels' PRN and level after each record (its
// latch starts again there); the views keep showing what the receiver said.
TEST_F(LiveViews, ViewsKeepTheirSatellitesAcrossADataLogRecord)
{
    SendChannel(kDisplaySlot, 0, 14, 9.0f);
    SendChannel(kDisplaySlot, 4, 22, 17.0f);
    RestartLevelLatch(PortReports[kDisplaySlot]);
    ASSERT_EQ(PortReports[kDisplaySlot].chanPrn[0], 0);
    EXPECT_EQ(SkyPrns(), (std::vector<int>{14, 22}));
    const std::vector<TForm_Signal::Bar> bars = Form_Signal->Bars();
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_EQ(bars[1].prn, 22);
    EXPECT_FLOAT_EQ(bars[1].level, 17.0f);
}

// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

TEST_F(LiveViews, HiddenViewsDoNotPaintAndShownOnesFoldBurstsIntoFewPaints)
{
    const std::vector<QWidget*> views = {Form_Sky, Form_Signal, Form_Scatter};
    std::vector<std::unique_ptr<PaintCounter>> counters;
    for (QWidget* view : views)
        counters.push_back(std::make_unique<PaintCounter>(view));
    auto burst = [] {
        for (int i = 0; i < 40; ++i) {
            SendChannel(kDisplaySlot, i % 12, static_cast<uint8_t>(i % 12 + 1), 10.0f);
            SendLlaFix(kDisplaySlot, i % 3, 0, static_cast<float>(i));
            QApplication::processEvents(); // as if each report came in its own poll tick
        }
    };
    burst();
    for (const auto& c : counters)
        EXPECT_EQ(c->paints, 0);

    for (QWidget* view : views) {
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    }
    QApplication::processEvents();
    for (const auto& c : counters)
        c->paints = 0;
    // 80 announcements each: the first is painted at once, later ones at most once per
    // interval; one still pending when the burst ends is painted when its interval ends.
    QElapsedTimer clock;
    clock.start();
    burst();
    const qint64 burstMs = clock.elapsed();
    std::vector<int> paints;
    for (const auto& c : counters)
        paints.push_back(std::exchange(c->paints, 0));
    for (size_t i = 0; i < views.size(); ++i) {
        SCOPED_TRACE(views[i]->objectName().toStdString());
        EXPECT_GE(paints[i], 1);
        EXPECT_LE(paints[i], 1 + burstMs / RepaintThrottle::kIntervalMs);
        if (burstMs < RepaintThrottle::kIntervalMs) { // the last report came inside the first interval
            EXPECT_TRUE(QTest::qWaitFor([&] { return counters[i]->paints == 1; }, 2000));
        }
    }

    // A change of display port repaints them, though the new port sends nothing.
    for (const auto& c : counters)
        c->paints = 0;
    Form_Main->ComboBox_DisplayComChange(kMonitoredSlot);
    for (const auto& c : counters)
        EXPECT_TRUE(QTest::qWaitFor([&] { return c->paints >= 1; }, 2000));
}

TEST_F(LiveViews, WindowMenuOpensEachView)
{
    const struct {
        const char* action;
        QWidget* window;
        const char* title;
    } views[] = {{"WindowSky", Form_Sky, "Sky Plot"},
                 {"WindowSignal", Form_Signal, "Signal Levels"},
                 {"WindowScatter", Form_Scatter, "Position Scatter"}};
    for (const auto& v : views) {
        EXPECT_FALSE(v.window->isVisible());
        Form_Main->findChild<QAction*>(v.action)->trigger();
        EXPECT_TRUE(v.window->isVisible()) << v.action;
        EXPECT_EQ(v.window->windowTitle(), v.title);
        EXPECT_LT(v.window->minimumHeight(), v.window->maximumHeight());
    }
}

} // namespace
