// A small HTTP/1.1 server for GET /metrics and GET /healthz, run from the
// event loop like everything else of the daemon. It never waits on a client:
// connections, request size and request time are bounded, and every answer
// closes its connection, so a slow, huge or idle client costs a socket and
// nothing more, and the tick runs on time.
#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <functional>
#include <list>
#include <string>

class QTcpServer;
class QTcpSocket;

struct ServerLimits {
    int maxConnections = 64;      // the oldest unanswered one makes room for a new one beyond this
    int maxRequestBytes = 8192;   // request line and headers
    int requestTimeoutMs = 5000;  // from connect to the end of the headers, and for the answer to leave
};

struct HttpAnswer {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
};

class MetricsServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<HttpAnswer()>;

    MetricsServer(Handler metrics, Handler health, ServerLimits limits = {}, QObject* parent = nullptr);
    ~MetricsServer() override;

    // False and error filled when the address cannot be listened on.
    bool Listen(const QHostAddress& address, quint16 port, std::string* error);
    quint16 Port() const;
    int Connections() const { return static_cast<int>(clients_.size()); }

private:
    struct Client {
        QTcpSocket* socket = nullptr;
        QByteArray request;
        QElapsedTimer age;
        bool answered = false;
    };

    void Accept();
    void Read(Client& client);
    void Answer(Client& client, const HttpAnswer& answer, const char* extraHeaders = "", bool headOnly = false);
    HttpAnswer Route(const QByteArray& method, const QByteArray& path);
    void Drop(QTcpSocket* socket);
    void Sweep();
    void MakeRoom();

    Handler metrics_;
    Handler health_;
    ServerLimits limits_;
    QTcpServer* server_;
    QTimer sweep_;
    std::list<Client> clients_; // oldest first
};
