#include "web/http_request.h"

namespace korvel::web {

QByteArray HttpRequest::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers)
        if (key == name) return value;
    return {};
}

bool HttpRequest::keepAlive() const {
    const QByteArray connection = header("connection").toLower();
    return version == "HTTP/1.1" ? !connection.contains("close") : connection.contains("keep-alive");
}

bool HttpRequest::wantsWebSocket() const {
    return header("upgrade").toLower() == "websocket" &&
           header("connection").toLower().contains("upgrade");
}

void RequestReader::next() {
    request_ = {};
    inBody_ = false;
    bodyLeft_ = 0;
    headBytes_ = 0;
}

RequestReader::State RequestReader::refuse(int status) {
    refusal_ = status;
    return State::Refused;
}

bool RequestReader::parseHead(const QByteArray& head) {
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    if (first.size() != 3 || !first[2].startsWith("HTTP/1.")) return false;
    request_.method = first[0];
    request_.target = first[1];
    request_.version = first[2];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty()) continue;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) return false;
        request_.headers.append({line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed()});
    }
    return true;
}

RequestReader::State RequestReader::feed(const QByteArray& bytes, qsizetype& take) {
    take = 0;
    if (!inBody_) {
        const qsizetype end = bytes.indexOf("\r\n\r\n");
        const qsizetype headLength = end < 0 ? bytes.size() : end + 4;
        if (headLength > static_cast<qsizetype>(kMaxHeaderBytes)) return refuse(431);
        if (end < 0) return State::NeedMore;
        if (!parseHead(bytes.left(end))) return refuse(400);
        headBytes_ = static_cast<std::size_t>(headLength);
        if (!request_.header("transfer-encoding").isEmpty()) return refuse(411);
        const QByteArray length = request_.header("content-length");
        bool number = length.isEmpty();
        const qint64 declared = length.isEmpty() ? 0 : length.toLongLong(&number);
        if (!number || declared < 0) return refuse(400);
        if (declared > kMaxBodyBytes) return refuse(413);
        if (request_.wantsWebSocket()) return State::Ready;
        take = headLength;
        inBody_ = true;
        bodyLeft_ = declared;
    }
    const qsizetype part = std::min<qsizetype>(bodyLeft_, bytes.size() - take);
    request_.body.append(bytes.mid(take, part));
    take += part;
    bodyLeft_ -= part;
    return bodyLeft_ == 0 ? State::Ready : State::NeedMore;
}

}  // namespace korvel::web
