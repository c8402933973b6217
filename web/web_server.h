#pragma once

#include <QHostAddress>
#include <QObject>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <variant>
#include <vector>

#include "web/bus_queue.h"
#include "web/metrics.h"
#include "web/security.h"

class QTcpServer;
class QTcpSocket;
class QWebSocket;
class QWebSocketServer;

namespace korvel::web {

struct ServerOptions {
    QHostAddress address = QHostAddress::LocalHost;
    quint16 port = 8750;
    QByteArray token, readOnlyToken;
    QStringList allowHosts;
    QString cert, key;  // both, or neither
    std::optional<PortSpec> line;  // nullopt: the simulated system
    QString lineName;              // as given, or "demo"
};

// Open connections at a time; one over is answered 503 and closed.
inline constexpr int kMaxConnections = 64;
// How long a connection may stay without sending a whole request.
inline constexpr std::chrono::seconds kIdleTime{30};
// How long events gather before they go to the sockets.
inline constexpr std::chrono::milliseconds kEventBatch{50};
// Messages a second an events socket may send before it is closed.
inline constexpr int kMaxSocketMessages = 20;

// The HTTP side: every connection's requests read with their bounds, checked
// (Host, token, read-only, failed tokens), routed to the API, the metrics or
// the page; the events sockets and what they are told.
class WebServer final : public QObject {
    Q_OBJECT
  public:
    explicit WebServer(ServerOptions options, QObject* parent = nullptr);
    ~WebServer() override;

    // Opens the line and listens; empty, or why not.
    std::string start();
    quint16 port() const;

  private:
    struct Connection;
    struct EventSocket;

    void accept();
    void readFrom(Connection* c);
    void answer(Connection* c, const Reply& reply);
    void handle(Connection* c);
    std::optional<Reply> checked(Connection* c, Access& access);
    void upgrade(Connection* c);
    void socketArrived();
    void socketMessage(QWebSocket* socket, const QString& message);
    void admit(QWebSocket* socket, Access access);
    // Events come from the worker's thread and go out in batches, every
    // kEventBatch, in their order: each socket then takes one write per batch.
    using Pending = std::variant<ExchangeRecord, QJsonObject>;
    void post(Pending item);
    void flush();
    void broadcast(const QJsonObject& event);
    void exchanged(const ExchangeRecord& record);
    Reply page(const QString& path) const;
    Reply session(Access access) const;
    Access tokenAccess(const QByteArray& token, const QHostAddress& from, bool& locked);

    ServerOptions options_;
    Tokens tokens_;
    HostCheck hosts_;
    FailedTokens failures_;
    Metrics metrics_;
    std::unique_ptr<QTcpServer> server_;
    std::unique_ptr<QWebSocketServer> sockets_;
    std::unique_ptr<BusQueue> queue_;
    std::map<QTcpSocket*, std::unique_ptr<Connection>> connections_;
    std::map<QWebSocket*, std::unique_ptr<EventSocket>> events_;
    std::atomic<int> watchers_{0};
    std::mutex pendingMutex_;
    std::vector<Pending> pending_;
    bool flushPosted_ = false;
    bool lineLost_ = false;
};

}  // namespace korvel::web
