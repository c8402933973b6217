#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <deque>
#include <map>

namespace korvel::web {

// What a request's token lets it do.
enum class Access { None, ReadOnly, Full };

// The tokens, compared in constant time: each comparison reads every byte of
// both, whatever matches.
class Tokens {
  public:
    Tokens(QByteArray full, QByteArray readOnly) : full_(std::move(full)), readOnly_(std::move(readOnly)) {}
    Access check(const QByteArray& given) const;

  private:
    QByteArray full_, readOnly_;
};
bool sameBytes(const QByteArray& a, const QByteArray& b);
// 128 random bits from the system's generator, as 32 hexadecimal digits.
QByteArray generatedToken();

// Failed tokens per address: kMaxFailures in a minute lock the
// address out until the oldest failure is a minute old.
class FailedTokens {
  public:
    static constexpr std::size_t kMaxFailures = 10;
    using Clock = std::chrono::steady_clock;
    bool lockedOut(const QString& address, Clock::time_point now);
    void failed(const QString& address, Clock::time_point now);

  private:
    void forget(std::deque<Clock::time_point>& times, Clock::time_point now);
    std::map<QString, std::deque<Clock::time_point>> failures_;
};

// The names a request's Host may carry: the listen address, localhost and the
// loopback addresses, and the names given with --allow-host. Without its port.
class HostCheck {
  public:
    HostCheck(const QString& listenAddress, const QStringList& allowed);
    bool allows(const QByteArray& hostHeader) const;

  private:
    QStringList names_;
};

}  // namespace korvel::web
