// The metrics server on a real loopback socket, under idle, slow, huge and
// wrong requests: the abusers get their status or a closed connection, a
// scrape in the middle of them is answered, and the loop's tick never stalls.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <memory>

#include "daemon/metrics_server.h"

namespace {

HttpAnswer Page() { return {200, "text/plain; version=0.0.4; charset=utf-8", std::string(20000, '#') + "\n"}; }
HttpAnswer Healthy() { return {200, "text/plain; charset=utf-8", "ok\n"}; }

std::unique_ptr<QTcpSocket> Connect(quint16 port)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, port);
    return socket;
}

// Sends a request and waits (with the loop running) for the whole answer.
QByteArray Ask(quint16 port, const QByteArray& request, int timeoutMs = 5000)
{
    auto socket = Connect(port);
    socket->write(request);
    QByteArray answer;
    (void)QTest::qWaitFor(
        [&] {
            answer += socket->readAll();
            return socket->state() == QAbstractSocket::UnconnectedState;
        },
        timeoutMs);
    return answer + socket->readAll();
}

// The largest gap between the ticks of a 200 ms timer while the test runs.
struct TickWatch {
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0, worstGap = 0;
    int ticks = 0;
    TickWatch()
    {
        clock.start();
        QObject::connect(&timer, &QTimer::timeout, [this] {
            worstGap = std::max(worstGap, clock.elapsed() - last);
            last = clock.elapsed();
            ++ticks;
        });
        timer.start(200);
    }
};

} // namespace

TEST(MetricsHttp, AnswersGetAndHeadAndRefusesTheRest)
{
    MetricsServer server(Page, [] { return HttpAnswer{503, "text/plain; charset=utf-8", "no tick yet\n"}; });
    ASSERT_TRUE(server.Listen(QHostAddress::LocalHost, 0, nullptr));
    const quint16 port = server.Port();
    struct Case {
        QByteArray request;
        QByteArray statusLine;
        bool withBody;
    };
    const Case cases[] = {
        {"GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n", "HTTP/1.1 200 OK\r\n", true},
        {"GET /metrics?x=1 HTTP/1.0\r\n\r\n", "HTTP/1.1 200 OK\r\n", true},
        {"HEAD /metrics HTTP/1.1\r\n\r\n", "HTTP/1.1 200 OK\r\n", false},
        {"GET /healthz HTTP/1.1\r\n\r\n", "HTTP/1.1 503 Service Unavailable\r\n", true},
        {"GET /other HTTP/1.1\r\n\r\n", "HTTP/1.1 404 Not Found\r\n", true},
        {"POST /metrics HTTP/1.1\r\nContent-Length: 5\r\n\r\nhello", "HTTP/1.1 405 Method Not Allowed\r\n", true},
        {"DELETE / HTTP/1.1\r\n\r\n", "HTTP/1.1 405 Method Not Allowed\r\n", true},
        {"GARBAGE\r\n\r\n", "HTTP/1.1 400 Bad Request\r\n", true},
    };
    for (const Case& c : cases) {
        const QByteArray answer = Ask(port, c.request);
        EXPECT_TRUE(answer.startsWith(c.statusLine)) << c.request.toStdString() << " -> " << answer.left(80).toStdString();
        const qsizetype body = answer.indexOf("\r\n\r\n") + 4;
        EXPECT_EQ(answer.size() > body, c.withBody) << c.request.toStdString();
    }
    const QByteArray head = Ask(port, "HEAD /metrics HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(head.contains("Content-Length: 20001\r\n")) << head.toStdString();
    EXPECT_TRUE(head.contains("Content-Type: text/plain; version=0.0.4; charset=utf-8\r\n"));
}

TEST(MetricsHttp, IdleSlowHugeAndPostedClientsNeitherBlockTheLoopNorTheScrape)
{
    ServerLimits limits;
    limits.requestTimeoutMs = 2000;
    MetricsServer server(Page, Healthy, limits);
    ASSERT_TRUE(server.Listen(QHostAddress::LocalHost, 0, nullptr));
    const quint16 port = server.Port();
    TickWatch watch;

    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 200; ++i)
        idle.push_back(Connect(port));
    // One byte a second of a request that would be fine if it ever ended.
    auto slow = Connect(port);
    const QByteArray slowRequest = "GET /metrics HTTP/1.1\r\nHost: slow\r\n\r\n";
    int slowSent = 0;
    QTimer drip;
    QObject::connect(&drip, &QTimer::timeout, [&] {
        if (slow->state() == QAbstractSocket::ConnectedState && slowSent < slowRequest.size())
            slow->write(slowRequest.mid(slowSent++, 1));
    });
    drip.start(1000);
    // A megabyte of header.
    auto huge = Connect(port);
    huge->write("GET /metrics HTTP/1.1\r\nX-Big: " + QByteArray(1 << 20, 'a') + "\r\n\r\n");
    QByteArray hugeAnswer;
    QObject::connect(huge.get(), &QTcpSocket::readyRead, [&] { hugeAnswer += huge->readAll(); });
    QByteArray slowAnswer;
    QObject::connect(slow.get(), &QTcpSocket::readyRead, [&] { slowAnswer += slow->readAll(); });

    // Scrapes and health checks go on meanwhile, each answered in full.
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Ask(port, "GET /metrics HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 200 OK\r\n"));
        EXPECT_TRUE(Ask(port, "POST /metrics HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc").startsWith("HTTP/1.1 405"));
        QTest::qWait(400);
    }
    (void)QTest::qWaitFor([&] { return slowAnswer.size() > 0; }, 5000);
    EXPECT_TRUE(slowAnswer.startsWith("HTTP/1.1 408 Request Timeout\r\n")) << slowAnswer.toStdString();
    EXPECT_LT(slowSent, slowRequest.size());
    // The huge request gets its status or a closed connection, never an answer to the request.
    (void)QTest::qWaitFor([&] { return huge->state() == QAbstractSocket::UnconnectedState; }, 5000);
    EXPECT_EQ(huge->state(), QAbstractSocket::UnconnectedState);
    EXPECT_TRUE(hugeAnswer.isEmpty() || hugeAnswer.startsWith("HTTP/1.1 431")) << hugeAnswer.left(60).toStdString();
    // The idle ones are let go in their time, and what the server holds stays bounded.
    EXPECT_LE(server.Connections(), limits.maxConnections);
    (void)QTest::qWaitFor([&] { return server.Connections() == 0; }, 5000);
    EXPECT_EQ(server.Connections(), 0);
    EXPECT_TRUE(Ask(port, "GET /healthz HTTP/1.1\r\n\r\n").endsWith("\r\n\r\nok\n"));

    // A loop that waited on a client would have missed a second of ticks.
    EXPECT_GT(watch.clock.elapsed(), 2000);
    EXPECT_LT(watch.worstGap, 1000);
    EXPECT_GE(watch.ticks, watch.clock.elapsed() / 400);
}
