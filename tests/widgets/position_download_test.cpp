// "&Download Position...": the next display-port position report writes the
// one-line position data file chosen in the file dialog and tells the user.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QTemporaryDir>

#include "core/main_window.h"
#include "model/port_reports.h"
#include "model/formats/position_file.h"
#include "link/shared_flags.h"
#include "report_delivery.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "support/ui_script_gui.h"

namespace {

constexpr int kDisplaySlot = 0;
constexpr int kMonitoredSlot = 1;

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

class PositionDownload : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(StartMonitorOnFake(kDisplaySlot + 1), nullptr);
        AttachFakeSerial(kMonitoredSlot);
        PortTable[kMonitoredSlot].monitored = 1;
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("pos.dat");
    }

    // Requests a download, answers the dialog with the path and delivers the report.
    template <class Report>
    void Download(const Report& report, size_t (*encode)(const Report&, uint8_t*))
    {
        MainAction("InitializeDownloadPos")->trigger();
        ui.fileNames.push_back(path);
        Deliver(kDisplaySlot, report, encode);
    }

    void ExpectSuccess(const QString& text) const
    {
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].title, "Success");
        EXPECT_EQ(ui.boxes[0].text, text);
        EXPECT_EQ(ui.boxes[0].icon, ui::Icon::None);
    }

    ScriptedUi ui;
    QTemporaryDir dir;
    QString path;
};

TEST_F(PositionDownload, SinglePrecisionLlaWritesSignedDegrees)
{
    const float lat = static_cast<float>(37.5 / RadToDeg);
    const float lon = static_cast<float>(-122.25 / RadToDeg);
    Download(Report4A{lat, lon, 10.0f, 0, 0}, &EncodeReport4A);

    EXPECT_EQ(Contents(path), "0 37.500 -122.250 10.0"); // no line end
    ExpectSuccess("Position successfully downloaded.\n\nLat: 37.500\nLon: -122.250\nAlt: 10.0");
    EXPECT_EQ(Flags.PositionDownloadPending, 0);

    ASSERT_EQ(ui.fileRequests.size(), 1u);
    const ui::FileRequest& request = ui.fileRequests[0];
    EXPECT_EQ(request.filter, "Data Files (*.dat)|*.dat|All Files (*.*)|*.*");
    EXPECT_EQ(request.defaultExtension, "dat");
    EXPECT_EQ(request.initialName, " ");
}

TEST_F(PositionDownload, DoublePrecisionLlaWritesFiveDecimals)
{
    Download(Report84{-33.875 / RadToDeg, 151.2 / RadToDeg, -12.3456, 0, 0}, &EncodeReport84);
    EXPECT_EQ(Contents(path), "0 -33.87500 151.20000 -12.346");
    ExpectSuccess("Position successfully downloaded.\n\nLat: -33.87500\nLon: 151.20000\nAlt: -12.346");
}

TEST_F(PositionDownload, SinglePrecisionEcefWritesTwoDecimals)
{
    Download(Report42{-2700000.5f, 1234567.75f, 3000.25f, 0}, &EncodeReport42);
    EXPECT_EQ(Contents(path), "1 -2700000.50 1234567.75 3000.25");
    ExpectSuccess("Position successfully downloaded.\n\nX: -2700000.50\nY: 1234567.75\nZ: 3000.25");
}

TEST_F(PositionDownload, DoublePrecisionEcefWritesFiveDecimals)
{
    Download(Report83{-2700000.123456, 4290000.5, -3860000.000004, 0, 0}, &EncodeReport83);
    EXPECT_EQ(Contents(path), "1 -2700000.12346 4290000.50000 -3860000.00000");
    ExpectSuccess("Position successfully downloaded.\n\nX: -2700000.12346\nY: 4290000.50000\nZ: -3860000.00000");
}

TEST_F(PositionDownload, ReplacesAnExistingFile)
{
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("1 1.00 2.00 3.00 and a much longer old line\r\n");
    }
    ui.answers = {ui::Answer::Yes}; // to "Replace File?"
    Download(Report42{1, 2, 3, 0}, &EncodeReport42);
    ASSERT_GE(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "Replace File?");
    EXPECT_EQ(Contents(path), "1 1.00 2.00 3.00");
}

TEST_F(PositionDownload, CancelUsesUpTheRequest)
{
    MainAction("InitializeDownloadPos")->trigger();
    Deliver(kDisplaySlot, Report42{1, 2, 3, 0}, &EncodeReport42); // no file name queued: cancel
    Deliver(kDisplaySlot, Report42{1, 2, 3, 0}, &EncodeReport42);
    EXPECT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(Flags.PositionDownloadPending, 0);
}

TEST_F(PositionDownload, OnlyTheDisplayPortsReportAnswersTheRequest)
{
    MainAction("InitializeDownloadPos")->trigger();
    Deliver(kMonitoredSlot, Report42{1, 2, 3, 0}, &EncodeReport42);
    EXPECT_TRUE(ui.fileRequests.empty());
    EXPECT_EQ(Flags.PositionDownloadPending, 1);
}

TEST_F(PositionDownload, UnwritableFileIsReportedAndUsesUpTheRequest)
{
    path = dir.filePath("missing/pos.dat");
    Download(Report42{1, 2, 3, 0}, &EncodeReport42);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Unable to open data file.\n" + path + ": No such file or directory");
    EXPECT_EQ(ui.boxes[0].title, "Error");
    EXPECT_EQ(ui.boxes[0].icon, ui::Icon::Exclamation);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(Flags.PositionDownloadPending, 0);
}

TEST_F(PositionDownload, NothingWithoutARequest)
{
    Deliver(kDisplaySlot, Report42{1, 2, 3, 0}, &EncodeReport42);
    EXPECT_TRUE(ui.fileRequests.empty());
}

TEST(PositionFile, LineHasTheKindAndThreeNumbersWithTheirDecimals)
{
    EXPECT_EQ(FormatPositionLine({PositionKind::Geodetic, {-0.0004, 1.5, 2.25}, {3, 3, 1}}), "0 -0.000 1.500 2.2");
    EXPECT_EQ(FormatPositionLine({PositionKind::Ecef, {1e7, -2, 0}, {2, 2, 2}}), "1 10000000.00 -2.00 0.00");
    EXPECT_EQ(FormatPositionLine({PositionKind::Ecef, {1e300, 0, 0}, {0, 0, 0}}).size(), 2u + 301u + 4u);
}

} // namespace
