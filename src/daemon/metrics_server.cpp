#include "daemon/metrics_server.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>

namespace {

const char* Reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 431: return "Request Header Fields Too Large";
    case 503: return "Service Unavailable";
    default: return "Error";
    }
}

HttpAnswer Plain(int status, const std::string& text) { return {status, "text/plain; charset=utf-8", text + "\n"}; }

} // namespace

MetricsServer::MetricsServer(Handler metrics, Handler health, ServerLimits limits, QObject* parent)
    : QObject(parent), metrics_(std::move(metrics)), health_(std::move(health)), limits_(limits),
      server_(new QTcpServer(this))
{
    connect(server_, &QTcpServer::newConnection, this, &MetricsServer::Accept);
    sweep_.setInterval(std::max(100, limits_.requestTimeoutMs / 5));
    connect(&sweep_, &QTimer::timeout, this, &MetricsServer::Sweep);
}

MetricsServer::~MetricsServer()
{
    for (Client& client : clients_) {
        client.socket->disconnect(this);
        client.socket->abort();
    }
}

bool MetricsServer::Listen(const QHostAddress& address, quint16 port, std::string* error)
{
    if (server_->listen(address, port)) {
        sweep_.start();
        return true;
    }
    if (error)
        *error = "cannot listen on " + address.toString().toStdString() + ":" + std::to_string(port) + ": " +
                 server_->errorString().toStdString();
    return false;
}

quint16 MetricsServer::Port() const { return server_->serverPort(); }

void MetricsServer::Accept()
{
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        MakeRoom();
        clients_.push_back(Client{socket, {}, {}, false});
        clients_.back().age.start();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            const auto it = std::find_if(clients_.begin(), clients_.end(),
                                         [socket](const Client& c) { return c.socket == socket; });
            if (it != clients_.end())
                Read(*it);
        });
        // Queued: a socket may say so inside Answer, while its Client is still in use.
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { Drop(socket); }, Qt::QueuedConnection);
    }
}

// Beyond the limit the oldest client still waiting for its answer goes: an
// idle connection must not keep a scrape out.
void MetricsServer::MakeRoom()
{
    while (static_cast<int>(clients_.size()) >= limits_.maxConnections) {
        auto oldest = std::find_if(clients_.begin(), clients_.end(), [](const Client& c) { return !c.answered; });
        if (oldest == clients_.end())
            oldest = clients_.begin();
        Drop(oldest->socket);
    }
}

void MetricsServer::Read(Client& client)
{
    if (client.answered) {
        client.socket->readAll(); // a body or more after the answer: not read further
        return;
    }
    const qint64 room = limits_.maxRequestBytes - client.request.size() + 1;
    client.request += client.socket->read(room);
    const qsizetype end = client.request.indexOf("\r\n\r\n");
    if (end < 0) {
        if (client.request.size() > limits_.maxRequestBytes)
            Answer(client, Plain(431, "request too large"));
        return;
    }
    const QByteArray line = client.request.left(client.request.indexOf("\r\n"));
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != 3 || !parts[2].startsWith("HTTP/1.")) {
        Answer(client, Plain(400, "bad request line"));
        return;
    }
    const QByteArray& method = parts[0];
    if (method != "GET" && method != "HEAD") {
        Answer(client, Plain(405, "only GET and HEAD"), "Allow: GET, HEAD\r\n");
        return;
    }
    // HEAD: the headers of the GET answer, Content-Length included, without its body.
    Answer(client, Route(method, parts[1]), "", method == "HEAD");
}

HttpAnswer MetricsServer::Route(const QByteArray& method, const QByteArray& target)
{
    (void)method;
    const qsizetype query = target.indexOf('?');
    const QByteArray path = query < 0 ? target : target.left(query);
    if (path == "/metrics")
        return metrics_();
    if (path == "/healthz")
        return health_();
    if (path == "/")
        return Plain(200, "jx_monitord: metrics at /metrics, health at /healthz");
    return Plain(404, "not found");
}

void MetricsServer::Answer(Client& client, const HttpAnswer& answer, const char* extraHeaders, bool headOnly)
{
    client.answered = true;
    client.age.restart(); // the answer has its own time to leave
    QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + Reason(answer.status) + "\r\n";
    head += "Content-Type: " + QByteArray::fromStdString(answer.contentType) + "\r\n";
    head += "Content-Length: " + QByteArray::number(static_cast<qulonglong>(answer.body.size())) + "\r\n";
    head += extraHeaders;
    head += "Connection: close\r\n\r\n";
    client.socket->write(head);
    if (!headOnly)
        client.socket->write(answer.body.data(), static_cast<qint64>(answer.body.size()));
    client.socket->disconnectFromHost(); // after the bytes have left; the sweep ends a stuck one
}

void MetricsServer::Drop(QTcpSocket* socket)
{
    const auto it =
        std::find_if(clients_.begin(), clients_.end(), [socket](const Client& c) { return c.socket == socket; });
    if (it == clients_.end())
        return;
    clients_.erase(it);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void MetricsServer::Sweep()
{
    std::vector<QTcpSocket*> late;
    for (Client& client : clients_) {
        if (client.age.elapsed() < limits_.requestTimeoutMs)
            continue;
        if (client.answered)
            late.push_back(client.socket);
        else
            Answer(client, Plain(408, "request took too long"));
    }
    for (QTcpSocket* socket : late)
        Drop(socket);
}
