#include "web/security.h"

#include <QRandomGenerator>

namespace korvel::web {

bool sameBytes(const QByteArray& a, const QByteArray& b) {
    // The length is no secret worth keeping; the bytes are.
    const qsizetype n = std::max(a.size(), b.size());
    unsigned diff = a.size() == b.size() ? 0u : 1u;
    for (qsizetype i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(i < a.size() ? a[i] : 0);
        const auto y = static_cast<unsigned char>(i < b.size() ? b[i] : 0);
        diff |= static_cast<unsigned>(x ^ y);
    }
    return diff == 0;
}

Access Tokens::check(const QByteArray& given) const {
    const bool full = !given.isEmpty() && sameBytes(given, full_);
    const bool readOnly = !given.isEmpty() && !readOnly_.isEmpty() && sameBytes(given, readOnly_);
    return full ? Access::Full : readOnly ? Access::ReadOnly : Access::None;
}

QByteArray generatedToken() {
    QByteArray bytes(16, '\0');
    QRandomGenerator::system()->generate(bytes.begin(), bytes.end());
    return bytes.toHex();
}

void FailedTokens::forget(std::deque<Clock::time_point>& times, Clock::time_point now) {
    while (!times.empty() && now - times.front() >= std::chrono::minutes(1)) times.pop_front();
}

bool FailedTokens::lockedOut(const QString& address, Clock::time_point now) {
    const auto it = failures_.find(address);
    if (it == failures_.end()) return false;
    forget(it->second, now);
    if (it->second.empty()) {
        failures_.erase(it);
        return false;
    }
    return it->second.size() >= kMaxFailures;
}

void FailedTokens::failed(const QString& address, Clock::time_point now) {
    std::deque<Clock::time_point>& times = failures_[address];
    forget(times, now);
    times.push_back(now);
}

HostCheck::HostCheck(const QString& listenAddress, const QStringList& allowed)
    : names_{"localhost", "127.0.0.1", "::1", listenAddress.toLower()} {
    for (const QString& name : allowed) names_.append(name.toLower());
}

bool HostCheck::allows(const QByteArray& hostHeader) const {
    QString host = QString::fromLatin1(hostHeader).trimmed().toLower();
    if (host.startsWith('[')) {
        host = host.mid(1, host.indexOf(']') - 1);
    } else if (host.count(':') == 1) {
        host = host.left(host.indexOf(':'));
    }
    return !host.isEmpty() && names_.contains(host);
}

}  // namespace korvel::web
