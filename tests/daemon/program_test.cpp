// The built jx_monitord as the service manager runs it: refused whole on a
// bad configuration (exit 2, nothing served), otherwise READY=1, watchdog
// keep-alives from the tick, metrics over HTTP, and a clean end on SIGTERM.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTcpSocket>
#include <QTest>
#include <csignal>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "support/loopback_listener.h"
#include "support/temp_dir.h"

namespace {

const QString kProgram = QStringLiteral(JX_BINARY_DIR "/jx_monitord");

// The service manager's end of $NOTIFY_SOCKET.
class NotifySocket {
public:
    explicit NotifySocket(const std::string& path) : path_(path)
    {
        fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        path.copy(addr.sun_path, sizeof addr.sun_path - 1);
        bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    }
    ~NotifySocket() { close(fd_); }
    // The datagrams that came so far.
    std::vector<std::string> Take()
    {
        std::vector<std::string> messages;
        char buffer[4096];
        ssize_t n = 0;
        while ((n = recv(fd_, buffer, sizeof buffer, 0)) > 0)
            messages.emplace_back(buffer, static_cast<size_t>(n));
        return messages;
    }

private:
    std::string path_;
    int fd_ = -1;
};

QByteArray Get(quint16 port, const char* path)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write(QByteArray("GET ") + path + " HTTP/1.1\r\n\r\n");
    QByteArray answer;
    (void)QTest::qWaitFor(
        [&] {
            answer += socket.readAll();
            return socket.state() == QAbstractSocket::UnconnectedState;
        },
        5000);
    return answer + socket.readAll();
}

int Count(const std::vector<std::string>& messages, const std::string& text)
{
    return static_cast<int>(std::count(messages.begin(), messages.end(), text));
}

} // namespace

TEST(MonitordProgram, ABadConfigurationOrArgumentIsRefusedWhole)
{
    TempDir dir;
    WriteFileText(dir.file("bad.conf"), "[metrics]\nlisten = 127.0.0.1:1\n[alarms]\nmax_pdop = lots\n");
    struct Case {
        QStringList args;
        QString stderrStart;
    };
    const Case cases[] = {
        {{"--config", QString::fromStdString(dir.file("bad.conf"))},
         QString::fromStdString("jx_monitord: " + dir.file("bad.conf") + ":4: 'lots' is not a number")},
        {{"--config", QString::fromStdString(dir.file("missing.conf"))},
         QString::fromStdString("jx_monitord: " + dir.file("missing.conf") + ": cannot be read")},
        {{"--bogus"}, "jx_monitord: unknown argument '--bogus'"},
        {{"--com17=/dev/ttyS0"}, "jx_monitord: bad port argument"},
    };
    for (const Case& c : cases) {
        QProcess process;
        process.start(kProgram, c.args);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitCode(), 2) << c.args.join(' ').toStdString();
        const QString err = QString::fromUtf8(process.readAllStandardError());
        EXPECT_TRUE(err.startsWith(c.stderrStart)) << err.toStdString();
    }
    QProcess help;
    help.start(kProgram, {"-h"});
    ASSERT_TRUE(help.waitForFinished(10000));
    EXPECT_EQ(help.exitCode(), 0);
    EXPECT_TRUE(help.readAllStandardOutput().startsWith("usage: jx_monitord"));
}

TEST(MonitordProgram, ServesUnderTheServiceManagerAndEndsCleanlyOnSigterm)
{
    TempDir dir;
    const uint16_t port = UnusedLoopbackPort();
    WriteFileText(dir.file("jx.conf"), "[metrics]\nlisten = 127.0.0.1:" + std::to_string(port) +
                                           "\n[ports]\nCOM2 = /dev/jx-no-such-receiver\n[alarms]\nraise_after = 0\n");
    NotifySocket notify(dir.file("notify"));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("NOTIFY_SOCKET", QString::fromStdString(dir.file("notify")));
    env.insert("WATCHDOG_USEC", "400000");
    process.setProcessEnvironment(env);
    process.start(kProgram, {"--config", QString::fromStdString(dir.file("jx.conf"))});
    ASSERT_TRUE(process.waitForStarted(5000));
    std::vector<std::string> messages;
    (void)QTest::qWaitFor(
        [&] {
            for (const std::string& m : notify.Take())
                messages.push_back(m);
            return Count(messages, "WATCHDOG=1") >= 3;
        },
        10000);
    ASSERT_FALSE(messages.empty()) << process.readAllStandardError().toStdString();
    EXPECT_EQ(messages[0].rfind("READY=1\nSTATUS=serving metrics on port " + std::to_string(port), 0), 0u);
    EXPECT_GE(Count(messages, "WATCHDOG=1"), 3);

    EXPECT_TRUE(Get(port, "/healthz").endsWith("\r\n\r\nok\n"));
    const QByteArray metrics = Get(port, "/metrics");
    EXPECT_TRUE(metrics.contains("jx_receiver_up{port=\"COM2\",device=\"/dev/jx-no-such-receiver\"} 0\n"))
        << metrics.toStdString();
    EXPECT_TRUE(metrics.contains("jx_alarm_active{port=\"COM2\",device=\"/dev/jx-no-such-receiver\",alarm=\"port_lost\"} 1\n"));

    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    for (const std::string& m : notify.Take())
        messages.push_back(m);
    EXPECT_EQ(messages.back(), "STOPPING=1");
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(err.contains("<4>COM2 (/dev/jx-no-such-receiver): alarm port_lost raised")) << err.toStdString();
}
