#include "web/web_server.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <QWebSocket>
#include <QWebSocketServer>
#include <variant>

#include "generated/version.h"
#include "web/api.h"
#include "web/http_request.h"
#include "wire_words/log_lines.h"

namespace korvel::web {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kProgressInterval{100};

const char* reason(int status) {
    switch (status) {
        case 200: return "OK";
        case 202: return "Accepted";
        case 400: return "Bad Request";
        case 401: return "Unauthorized";
        case 403: return "Forbidden";
        case 404: return "Not Found";
        case 405: return "Method Not Allowed";
        case 409: return "Conflict";
        case 411: return "Length Required";
        case 413: return "Content Too Large";
        case 421: return "Misdirected Request";
        case 422: return "Unprocessable Content";
        case 426: return "Upgrade Required";
        case 429: return "Too Many Requests";
        case 431: return "Request Header Fields Too Large";
        case 503: return "Service Unavailable";
        case 504: return "Gateway Timeout";
        default: return "Error";
    }
}

// The refusals the reader makes before a request is whole.
Reply readerRefusal(int status) {
    switch (status) {
        case 411: return refusal(411, "length-required", "a body needs a Content-Length");
        case 413: return refusal(413, "too-large", "a body may be at most 4 MiB");
        case 431: return refusal(431, "headers-too-large", "the headers may be at most 16 KiB");
        default: return refusal(400, "bad-request", "not an HTTP request");
    }
}

QByteArray bearer(const HttpRequest& request) {
    const QByteArray value = request.header("authorization");
    return value.startsWith("Bearer ") ? value.mid(7).trimmed() : QByteArray();
}

QByteArray contentType(const QString& name) {
    static const std::map<QString, QByteArray> kTypes{
        {"html", "text/html; charset=utf-8"}, {"css", "text/css; charset=utf-8"},
        {"js", "text/javascript; charset=utf-8"}, {"json", "application/json"},
        {"svg", "image/svg+xml"}, {"png", "image/png"}, {"ico", "image/x-icon"},
        {"webmanifest", "application/manifest+json"}};
    const auto it = kTypes.find(name.section('.', -1));
    return it == kTypes.end() ? QByteArray("application/octet-stream") : it->second;
}

}  // namespace

struct WebServer::Connection {
    QTcpSocket* socket;
    QTimer idle;  // a connection that sends no whole request in time is closed
    RequestReader reader;
    bool busy = false;  // a request is in the queue; the next waits
};

struct WebServer::EventSocket {
    std::unique_ptr<QWebSocket> socket;
    Access access = Access::None;
    int messages = 0;
    qint64 window = 0;
};

WebServer::WebServer(ServerOptions options, QObject* parent)
    : QObject(parent),
      options_(std::move(options)),
      tokens_(options_.token, options_.readOnlyToken),
      hosts_(options_.address.toString(), options_.allowHosts) {}

WebServer::~WebServer() {
    queue_.reset();
    // The sockets go with their servers; nothing of theirs may reach this one then.
    for (auto& [socket, c] : connections_) socket->disconnect(this);
    connections_.clear();
    for (auto& [socket, e] : events_) socket->disconnect(this);
    events_.clear();
}

quint16 WebServer::port() const {
    return server_ ? server_->serverPort() : 0;
}

std::string WebServer::start() {
    BusListeners listeners;
    listeners.exchanged = [this](const ExchangeRecord& record) {
        metrics_.exchanged(record);
        if (watchers_ > 0) post(record);
    };
    listeners.event = [this, lastProgress = Clock::time_point()](const QJsonObject& event) mutable {
        // A run's progress at most every 100 ms, and its last step: a page
        // shows no more, and each one costs every watcher a message.
        if (event.value("type") == "progress" &&
            event.value("done").toInteger() != event.value("total").toInteger()) {
            if (Clock::now() - lastProgress < kProgressInterval) return;
            lastProgress = Clock::now();
        }
        if (event.value("type") == "line" && event.value("state") == "lost") metrics_.lineLost();
        post(event);
    };
    listeners.status = [this](const QJsonArray& modules, const QDateTime& time) {
        metrics_.status(modules, time);
    };
    queue_ = std::make_unique<BusQueue>(options_.line, this, listeners);
    if (const std::string why = queue_->start(); !why.empty())
        return "cannot open the port " + options_.lineName.toStdString() + ": " + why;

    if (!options_.cert.isEmpty()) {
        QFile certFile(options_.cert), keyFile(options_.key);
        if (!certFile.open(QIODevice::ReadOnly)) return "cannot read " + options_.cert.toStdString();
        if (!keyFile.open(QIODevice::ReadOnly)) return "cannot read " + options_.key.toStdString();
        const QList<QSslCertificate> chain = QSslCertificate::fromData(certFile.readAll(), QSsl::Pem);
        if (chain.isEmpty()) return options_.cert.toStdString() + " holds no PEM certificate";
        const QByteArray keyData = keyFile.readAll();
        QSslKey key(keyData, QSsl::Rsa, QSsl::Pem);
        if (key.isNull()) key = QSslKey(keyData, QSsl::Ec, QSsl::Pem);
        if (key.isNull()) return options_.key.toStdString() + " holds no PEM private key";
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificateChain(chain);
        tls.setPrivateKey(key);
        auto ssl = std::make_unique<QSslServer>();
        ssl->setSslConfiguration(tls);
        server_ = std::move(ssl);
    } else {
        server_ = std::make_unique<QTcpServer>();
    }
    connect(server_.get(), &QTcpServer::pendingConnectionAvailable, this, &WebServer::accept);
    if (!server_->listen(options_.address, options_.port))
        return "cannot listen on " + options_.address.toString().toStdString() + ":" +
               std::to_string(options_.port) + ": " + server_->errorString().toStdString();

    sockets_ = std::make_unique<QWebSocketServer>("korvel-web", QWebSocketServer::NonSecureMode);
    sockets_->setHandshakeTimeout(std::chrono::seconds(10));
    connect(sockets_.get(), &QWebSocketServer::newConnection, this, &WebServer::socketArrived);
    return {};
}

void WebServer::accept() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        if (connections_.size() + events_.size() >= static_cast<std::size_t>(kMaxConnections)) {
            const Reply r = refusal(503, "too-many-connections", "too many open connections");
            socket->write("HTTP/1.1 503 Service Unavailable\r\nContent-Type: application/json\r\n"
                          "Connection: close\r\nContent-Length: " +
                          QByteArray::number(r.body.size()) + "\r\n\r\n" + r.body);
            socket->disconnectFromHost();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            continue;
        }
        auto c = std::make_unique<Connection>();
        c->socket = socket;
        Connection* raw = c.get();
        connections_[socket] = std::move(c);
        raw->idle.setSingleShot(true);
        raw->idle.start(kIdleTime);
        connect(&raw->idle, &QTimer::timeout, socket, [raw] {
            if (!raw->busy) raw->socket->abort();
        });
        connect(socket, &QTcpSocket::readyRead, this, [this, raw] {
            raw->idle.start(kIdleTime);
            readFrom(raw);
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            connections_.erase(socket);
            socket->deleteLater();
        });
    }
}

void WebServer::readFrom(Connection* c) {
    QTcpSocket* socket = c->socket;
    while (!c->busy && socket->bytesAvailable() > 0) {
        const qint64 available = socket->bytesAvailable();
        const qint64 want = c->reader.inBody()
                                ? std::min(available, c->reader.bodyLeft())
                                : std::min<qint64>(available, static_cast<qint64>(kMaxHeaderBytes) + 1);
        qsizetype take = 0;
        const RequestReader::State state = c->reader.feed(socket->peek(want), take);
        socket->skip(take);
        if (state == RequestReader::State::Refused) {
            c->busy = true;
            Reply r = readerRefusal(c->reader.refusal());
            r.headers.append(QPair<QByteArray, QByteArray>("Connection", "close"));
            answer(c, r);
            return;
        }
        if (state == RequestReader::State::NeedMore) {
            if (take == 0) return;
            continue;
        }
        if (c->reader.request().wantsWebSocket()) {
            upgrade(c);
            return;
        }
        handle(c);
    }
}

void WebServer::answer(Connection* c, const Reply& reply) {
    QTcpSocket* socket = c->socket;
    const bool close = !c->reader.request().keepAlive() ||
                       std::any_of(reply.headers.begin(), reply.headers.end(),
                                   [](const auto& h) { return h.first == "Connection"; });
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " " + reason(reply.status) +
                      "\r\nContent-Type: " + reply.contentType +
                      "\r\nContent-Length: " + QByteArray::number(reply.body.size()) +
                      "\r\nX-Content-Type-Options: nosniff\r\nReferrer-Policy: no-referrer"
                      "\r\nX-Frame-Options: DENY\r\nCache-Control: no-store\r\n";
    for (const auto& [name, value] : reply.headers) head += name + ": " + value + "\r\n";
    if (close && std::none_of(reply.headers.begin(), reply.headers.end(),
                              [](const auto& h) { return h.first == "Connection"; }))
        head += "Connection: close\r\n";
    socket->write(head + "\r\n" + reply.body);
    if (close) {
        socket->disconnectFromHost();
        return;
    }
    c->reader.next();
    c->busy = false;
    c->idle.start(kIdleTime);
    if (socket->bytesAvailable() > 0)
        QTimer::singleShot(0, this, [this, socket = QPointer<QTcpSocket>(socket)] {
            if (socket && connections_.count(socket)) readFrom(connections_[socket].get());
        });
}

Access WebServer::tokenAccess(const QByteArray& token, const QHostAddress& from, bool& locked) {
    const QString address = from.toString();
    const auto now = FailedTokens::Clock::now();
    locked = failures_.lockedOut(address, now);
    if (locked) return Access::None;
    const Access access = tokens_.check(token);
    if (access == Access::None) failures_.failed(address, now);
    return access;
}

// The checks every request passes before it is looked at: Host, then for the
// API and the metrics the token. A reply is the refusal.
std::optional<Reply> WebServer::checked(Connection* c, Access& access) {
    const HttpRequest& request = c->reader.request();
    if (!hosts_.allows(request.header("host")))
        return refusal(421, "misdirected", "this server does not answer for that Host");
    const QString path = QUrl(QString::fromLatin1(request.target)).path();
    if (!path.startsWith("/api/") && path != "/metrics") return std::nullopt;
    bool locked = false;
    access = tokenAccess(bearer(request), c->socket->peerAddress(), locked);
    if (locked) {
        Reply r = refusal(429, "rate", "too many failed tokens from this address; wait a minute");
        r.headers.append(QPair<QByteArray, QByteArray>("Retry-After", "60"));
        return r;
    }
    if (access == Access::None) {
        Reply r = refusal(401, "unauthorized", "a token is needed: Authorization: Bearer ...");
        r.headers.append(QPair<QByteArray, QByteArray>("WWW-Authenticate", "Bearer"));
        return r;
    }
    return std::nullopt;
}

void WebServer::handle(Connection* c) {
    const HttpRequest& request = c->reader.request();
    c->busy = true;
    Access access = Access::None;
    if (const std::optional<Reply> refused = checked(c, access)) return answer(c, *refused);
    const QUrl url(QString::fromLatin1(request.target));
    const QString path = url.path(QUrl::FullyDecoded);
    if (path == "/metrics") {
        if (request.method != "GET") return answer(c, refusal(405, "method", "GET only"));
        return answer(c, Reply{200, metrics_.text(), "text/plain; version=0.0.4; charset=utf-8"});
    }
    if (!path.startsWith("/api/")) {
        if (request.method != "GET" && request.method != "HEAD")
            return answer(c, refusal(405, "method", "GET only"));
        return answer(c, page(path));
    }
    const QStringList parts = path.mid(5).split('/');
    const QUrlQuery query(url);
    if (parts == QStringList{"session"}) return answer(c, session(access));
    if (parts == QStringList{"events"})
        return answer(c, refusal(426, "upgrade", "the events are a WebSocket"));
    const bool write = parts == QStringList{"run"} || writes(request.method, parts, query);
    if (write && access != Access::Full)
        return answer(c, refusal(403, "read-only", "the read-only token may not write"));
    if (parts == QStringList{"run"}) {
        if (request.method != "DELETE") return answer(c, refusal(405, "method", "DELETE only"));
        const std::optional<BusQueue::RunState> run = queue_->run();
        if (!run || !queue_->cancelRun()) return answer(c, refusal(404, "not-found", "no run is going"));
        return answer(c, Reply{202, QJsonDocument(QJsonObject{{"run", QString::fromStdString(run->name)},
                                                              {"started", QString::fromStdString(run->started)}})
                                        .toJson(QJsonDocument::Compact)});
    }
    std::variant<Reply, ApiJob> routed = apiRoute(request.method, parts, query, request.body);
    if (const Reply* now = std::get_if<Reply>(&routed)) return answer(c, *now);
    ApiJob& job = std::get<ApiJob>(routed);
    QPointer<QTcpSocket> socket(c->socket);
    const std::optional<Reply> refused =
        queue_->submit(job.kind, job.run, std::move(job.work), [this, socket](const Reply& reply) {
            if (!socket) return;
            const auto it = connections_.find(socket.data());
            if (it != connections_.end()) answer(it->second.get(), reply);
        });
    if (refused) answer(c, *refused);
}

Reply WebServer::session(Access access) const {
    const std::optional<BusQueue::RunState> run = queue_->run();
    QJsonObject runState{{"run", run ? QJsonValue(QString::fromStdString(run->name)) : QJsonValue()}};
    if (run) runState.insert("started", QString::fromStdString(run->started));
    return Reply{200, QJsonDocument(QJsonObject{{"version", korvel::kReleaseText},
                                                {"port", options_.lineName},
                                                {"read-only", access == Access::ReadOnly},
                                                {"run", runState}})
                          .toJson(QJsonDocument::Compact)};
}

// The page's files are the program's resources: a request picks one of the
// names listed there, never a path.
Reply WebServer::page(const QString& path) const {
    static const QStringList files = QDir(":/page").entryList(QDir::Files);
    const QString name = path == "/" ? QString("index.html") : path.mid(1);
    if (!files.contains(name)) return refusal(404, "not-found", "no such page");
    QFile file(":/page/" + name);
    if (!file.open(QIODevice::ReadOnly)) return refusal(404, "not-found", "no such page");
    Reply r{200, file.readAll(), contentType(name)};
    r.headers.append(QPair<QByteArray, QByteArray>(
        "Content-Security-Policy",
        "default-src 'self'; connect-src 'self'; img-src 'self' data:; frame-ancestors 'none'; "
        "base-uri 'none'; form-action 'self'"));
    return r;
}

void WebServer::upgrade(Connection* c) {
    const HttpRequest& request = c->reader.request();
    c->busy = true;
    const auto refuse = [&](const Reply& r) {
        Reply closing = r;
        closing.headers.append(QPair<QByteArray, QByteArray>("Connection", "close"));
        answer(c, closing);
    };
    if (!hosts_.allows(request.header("host")))
        return refuse(refusal(421, "misdirected", "this server does not answer for that Host"));
    const QUrl url(QString::fromLatin1(request.target));
    if (url.path() != "/api/events") return refuse(refusal(404, "not-found", "no such socket"));
    // A browser always sends its page's Origin; it must be this server as the
    // page reached it. A client that is no browser sends none.
    const QByteArray origin = request.header("origin");
    const QByteArray own = (options_.cert.isEmpty() ? "http://" : "https://") + request.header("host");
    if (!origin.isEmpty() && origin.toLower() != own.toLower())
        return refuse(refusal(403, "forbidden", "the events are for this server's own page"));
    const QString token = QUrlQuery(url).queryItemValue("token");
    if (!token.isEmpty()) {
        bool locked = false;
        if (tokenAccess(token.toLatin1(), c->socket->peerAddress(), locked) == Access::None)
            return refuse(locked ? refusal(429, "rate", "too many failed tokens from this address")
                                 : refusal(401, "unauthorized", "a token is needed"));
    }
    QTcpSocket* socket = c->socket;
    socket->disconnect(this);
    connections_.extract(socket).mapped().release();
    delete c;
    sockets_->handleConnection(socket);
}

void WebServer::socketArrived() {
    while (QWebSocket* raw = sockets_->nextPendingConnection()) {
        auto e = std::make_unique<EventSocket>();
        e->socket.reset(raw);
        events_[raw] = std::move(e);
        connect(raw, &QWebSocket::textMessageReceived, this,
                [this, raw](const QString& m) { socketMessage(raw, m); });
        connect(raw, &QWebSocket::binaryMessageReceived, this,
                [raw] { raw->close(QWebSocketProtocol::CloseCodeDatatypeNotSupported); });
        connect(raw, &QWebSocket::disconnected, this, [this, raw] {
            const auto it = events_.find(raw);
            if (it == events_.end()) return;
            if (it->second->access != Access::None) --watchers_;
            it->second->socket.release()->deleteLater();
            events_.erase(it);
        });
        const QString token = QUrlQuery(raw->requestUrl()).queryItemValue("token");
        if (!token.isEmpty()) {
            admit(raw, tokens_.check(token.toLatin1()));
        } else {
            // The token as the first message, within the handshake's time.
            QTimer::singleShot(std::chrono::seconds(10), raw, [this, raw] {
                const auto it = events_.find(raw);
                if (it != events_.end() && it->second->access == Access::None)
                    raw->close(QWebSocketProtocol::CloseCodePolicyViolated, "no token");
            });
        }
    }
}

void WebServer::socketMessage(QWebSocket* socket, const QString& message) {
    const auto it = events_.find(socket);
    if (it == events_.end()) return;
    EventSocket& e = *it->second;
    const qint64 second = QDateTime::currentMSecsSinceEpoch() / 1000;
    if (second != e.window) {
        e.window = second;
        e.messages = 0;
    }
    if (++e.messages > kMaxSocketMessages)
        return socket->close(QWebSocketProtocol::CloseCodePolicyViolated, "too many messages");
    if (e.access != Access::None) return;
    const QByteArray token = QJsonDocument::fromJson(message.toUtf8()).object().value("token").toString().toLatin1();
    bool locked = false;
    const Access access = tokenAccess(token, socket->peerAddress(), locked);
    if (access == Access::None)
        return socket->close(QWebSocketProtocol::CloseCodePolicyViolated,
                             locked ? "too many failed tokens" : "wrong token");
    admit(socket, access);
}

void WebServer::admit(QWebSocket* socket, Access access) {
    if (access == Access::None)
        return socket->close(QWebSocketProtocol::CloseCodePolicyViolated, "wrong token");
    events_[socket]->access = access;
    ++watchers_;
    const std::optional<BusQueue::RunState> run = queue_->run();
    QJsonObject runState{{"run", run ? QJsonValue(QString::fromStdString(run->name)) : QJsonValue()}};
    if (run) runState.insert("started", QString::fromStdString(run->started));
    socket->sendTextMessage(QString::fromUtf8(
        QJsonDocument(QJsonObject{{"type", "hello"},
                                  {"read-only", access == Access::ReadOnly},
                                  {"run", runState},
                                  {"line", lineLost_ ? "lost" : "up"}})
            .toJson(QJsonDocument::Compact)));
}

void WebServer::post(Pending item) {
    std::lock_guard lock(pendingMutex_);
    pending_.push_back(std::move(item));
    if (flushPosted_) return;
    flushPosted_ = true;
    QMetaObject::invokeMethod(
        this, [this] { QTimer::singleShot(kEventBatch, this, &WebServer::flush); },
        Qt::QueuedConnection);
}

void WebServer::flush() {
    std::vector<Pending> items;
    {
        std::lock_guard lock(pendingMutex_);
        items.swap(pending_);
        flushPosted_ = false;
    }
    for (const Pending& item : items) {
        if (const auto* record = std::get_if<ExchangeRecord>(&item))
            exchanged(*record);
        else
            broadcast(std::get<QJsonObject>(item));
    }
}

void WebServer::broadcast(const QJsonObject& event) {
    if (event.value("type") == "line") lineLost_ = event.value("state") == "lost";
    const QString text = QString::fromUtf8(QJsonDocument(event).toJson(QJsonDocument::Compact));
    for (auto& [socket, e] : events_)
        if (e->access != Access::None) socket->sendTextMessage(text);
}

void WebServer::exchanged(const ExchangeRecord& record) {
    const auto ago = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - record.sent);
    const std::string time =
        QDateTime::currentDateTime().addMSecs(-ago.count()).toString("HH:mm:ss.zzz").toStdString();
    for (const LogLine& line : logLines(record))
        broadcast(QJsonObject{{"type", "log"},
                              {"line", QString::fromStdString(formatLine(line, time, {true, true, true}))}});
}

}  // namespace korvel::web
