// The whole road: three scripted receivers on pseudo-terminals, the built
// jx_monitord reading them, and the real Prometheus server scraping it every
// second on loopback; the GPS week and the satellite count each receiver sent
// come back through Prometheus' HTTP query API. Every wait is bounded.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <array>
#include <memory>
#include <unistd.h>

#include "link/framing.h"
#include "link/gnss_reports.h"
#include "link/packets.h"
#include "support/loopback_listener.h"
#include "support/pty.h"
#include "support/temp_dir.h"

namespace {

constexpr int kReceivers = 3;

std::vector<uint8_t> Framed(const uint8_t* message, size_t count)
{
    std::vector<uint8_t> frame(2 * count + 4);
    frame.resize(BuildFrame(message, count, frame.data()));
    return frame;
}

// What receiver i sends once a second: its GPS time (week 2300 + i) and a
// 3-D fix with 5 + i satellites; the last one is a timing receiver and adds its
// status (PPS offset 12.5 ns, antenna open).
std::vector<uint8_t> ReceiverSecond(int i, float timeOfWeek)
{
    uint8_t message[128];
    std::vector<uint8_t> bytes = Framed(message, EncodeReport41({timeOfWeek, static_cast<uint16_t>(2300 + i), 18}, message));
    Report6D fix;
    fix.fixModeBits = static_cast<uint8_t>(((5 + i) << 4) | 4);
    fix.pdop = 1.5f, fix.hdop = 1, fix.vdop = 1.1f, fix.tdop = 0.7f;
    const std::vector<uint8_t> more = Framed(message, EncodeReport6D(fix, message));
    bytes.insert(bytes.end(), more.begin(), more.end());
    if (i == kReceivers - 1) {
        Report8FAC status;
        status.ppsOffsetNs = 12.5f;
        status.temperatureC = 41.25f;
        status.minorAlarms = 0x0002;
        const std::vector<uint8_t> timing = Framed(message, EncodeReport8FAC(status, message));
        bytes.insert(bytes.end(), timing.begin(), timing.end());
    }
    return bytes;
}

// GET on loopback; the body of the answer.
QByteArray HttpGet(uint16_t port, const QByteArray& target)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write("GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
    QByteArray answer;
    (void)QTest::qWaitFor(
        [&] {
            answer += socket.readAll();
            return socket.state() == QAbstractSocket::UnconnectedState;
        },
        3000);
    answer += socket.readAll();
    const qsizetype body = answer.indexOf("\r\n\r\n");
    return body < 0 ? QByteArray() : answer.mid(body + 4);
}

// The value of an instant query's first sample, or "" while there is none.
QString QueryValue(uint16_t prometheusPort, const QString& query)
{
    const QByteArray body =
        HttpGet(prometheusPort, "/api/v1/query?query=" + QUrl::toPercentEncoding(query));
    const QJsonArray result = QJsonDocument::fromJson(body).object()["data"].toObject()["result"].toArray();
    if (result.isEmpty())
        return {};
    return result[0].toObject()["value"].toArray()[1].toString();
}

} // namespace

TEST(PrometheusEndToEnd, ScrapedGpsWeekAndSatellitesComeBackThroughTheQueryApi)
{
    if (std::system("command -v prometheus >/dev/null 2>&1") != 0)
        GTEST_FAIL() << "the prometheus package is not installed (scripts/setup.sh installs it)";
    TempDir dir;
    std::array<std::unique_ptr<PtyPair>, kReceivers> receivers;
    std::string ports;
    for (int i = 0; i < kReceivers; ++i) {
        receivers[static_cast<size_t>(i)] = std::make_unique<PtyPair>();
        ASSERT_TRUE(receivers[static_cast<size_t>(i)]->ok());
        ports += "COM" + std::to_string(i + 1) + " = " + receivers[static_cast<size_t>(i)]->devicePath() + "\n";
    }
    const uint16_t daemonPort = UnusedLoopbackPort();
    WriteFileText(dir.file("jx.conf"),
                  "[metrics]\nlisten = 127.0.0.1:" + std::to_string(daemonPort) + "\n[ports]\n" + ports);
    const uint16_t prometheusPort = UnusedLoopbackPort();
    WriteFileText(dir.file("prometheus.yml"), "global:\n  scrape_interval: 1s\n  scrape_timeout: 1s\n"
                                              "scrape_configs:\n  - job_name: jx-monitord\n    static_configs:\n"
                                              "      - targets: ['127.0.0.1:" + std::to_string(daemonPort) + "']\n");

    // The scripted receivers talk once a second and let the daemon's queries drain.
    float timeOfWeek = 100000;
    QTimer talk;
    QObject::connect(&talk, &QTimer::timeout, [&] {
        for (int i = 0; i < kReceivers; ++i) {
            PtyPair& pty = *receivers[static_cast<size_t>(i)];
            pty.ReadAvailable(1, 1);
            pty.Write(ReceiverSecond(i, timeOfWeek), 100);
        }
        timeOfWeek += 1;
    });
    talk.start(1000);

    QProcess daemon;
    daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    daemon.start(JX_BINARY_DIR "/jx_monitord", {"--config", QString::fromStdString(dir.file("jx.conf"))});
    ASSERT_TRUE(daemon.waitForStarted(5000));
    QProcess prometheus;
    prometheus.setProcessChannelMode(QProcess::MergedChannels);
    prometheus.start("prometheus", {"--config.file=" + QString::fromStdString(dir.file("prometheus.yml")),
                                    "--storage.tsdb.path=" + QString::fromStdString(dir.file("data")),
                                    "--web.listen-address=127.0.0.1:" + QString::number(prometheusPort)});
    ASSERT_TRUE(prometheus.waitForStarted(5000));

    std::array<QString, kReceivers> weeks, satellites;
    const bool arrived = QTest::qWaitFor(
        [&] {
            for (int i = 0; i < kReceivers; ++i) {
                const QString port = QStringLiteral("COM%1").arg(i + 1);
                weeks[static_cast<size_t>(i)] = QueryValue(prometheusPort, "jx_receiver_gps_week{port=\"" + port + "\"}");
                satellites[static_cast<size_t>(i)] =
                    QueryValue(prometheusPort, "jx_receiver_satellites_used{port=\"" + port + "\"}");
            }
            return std::all_of(weeks.begin(), weeks.end(), [](const QString& v) { return !v.isEmpty(); }) &&
                   std::all_of(satellites.begin(), satellites.end(), [](const QString& v) { return !v.isEmpty(); });
        },
        30000);
    const QString scrapeUp = QueryValue(prometheusPort, "up{job=\"jx-monitord\"}");
    const QString timingPort = QStringLiteral("COM%1").arg(kReceivers);
    QString ppsOffset;
    (void)QTest::qWaitFor(
        [&] {
            ppsOffset = QueryValue(prometheusPort, "jx_receiver_pps_offset_seconds{port=\"" + timingPort + "\"}");
            return !ppsOffset.isEmpty();
        },
        5000);
    const QString antennaOpen = QueryValue(
        prometheusPort, "jx_receiver_timing_alarm{port=\"" + timingPort + "\",alarm=\"antenna open\"}");
    const QString otherTiming = QueryValue(prometheusPort, "count(jx_receiver_pps_offset_seconds)");
    prometheus.terminate();
    daemon.terminate();
    EXPECT_TRUE(prometheus.waitForFinished(10000));
    EXPECT_TRUE(daemon.waitForFinished(10000));
    EXPECT_EQ(daemon.exitCode(), 0);
    ASSERT_TRUE(arrived) << "prometheus said: " << prometheus.readAll().right(2000).toStdString()
                         << "\nup = " << scrapeUp.toStdString();
    for (int i = 0; i < kReceivers; ++i) {
        EXPECT_EQ(weeks[static_cast<size_t>(i)], QString::number(2300 + i)) << "COM" << i + 1;
        EXPECT_EQ(satellites[static_cast<size_t>(i)], QString::number(5 + i)) << "COM" << i + 1;
    }
    EXPECT_DOUBLE_EQ(ppsOffset.toDouble(), 12.5e-9) << ppsOffset.toStdString();
    EXPECT_EQ(antennaOpen, "1");
    EXPECT_EQ(otherTiming, "1"); // the receivers that sent no timing status have no timing series
}
