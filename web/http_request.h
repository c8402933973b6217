#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <cstddef>
#include <optional>

namespace korvel::web {

// What a client may send: a request's line and headers, and its body.
inline constexpr std::size_t kMaxHeaderBytes = 16 * 1024;
inline constexpr qint64 kMaxBodyBytes = 4 * 1024 * 1024;

struct HttpRequest {
    QByteArray method, target, version;
    QList<QPair<QByteArray, QByteArray>> headers;  // names in lower case
    QByteArray body;

    // The first header of that name (lower case), or empty.
    QByteArray header(const QByteArray& name) const;
    bool keepAlive() const;
    bool wantsWebSocket() const;
};

// Takes a connection's bytes as they come and cuts them into requests. The
// headers are held to kMaxHeaderBytes and the body to kMaxBodyBytes before
// any of it is kept: a request over either ends the connection with its status.
class RequestReader {
  public:
    enum class State { NeedMore, Ready, Refused };
    // Takes what `take` consumed of `bytes`; a request that is Ready is in
    // request(). The head of a WebSocket upgrade is left unconsumed, so the
    // socket can be handed on with it.
    State feed(const QByteArray& bytes, qsizetype& take);

    const HttpRequest& request() const { return request_; }
    // For Refused: 400, 411, 413, 431 or 501.
    int refusal() const { return refusal_; }
    // The head of the request in hand, once it ended.
    std::size_t headBytes() const { return headBytes_; }
    // How many bytes of the body are still to come; 0 while reading the head.
    qint64 bodyLeft() const { return inBody_ ? bodyLeft_ : 0; }
    bool inBody() const { return inBody_; }
    // Starts over for the next request on the same connection.
    void next();

  private:
    State refuse(int status);
    bool parseHead(const QByteArray& head);

    HttpRequest request_;
    bool inBody_ = false;
    qint64 bodyLeft_ = 0;
    int refusal_ = 0;
    std::size_t headBytes_ = 0;
};

}  // namespace korvel::web
