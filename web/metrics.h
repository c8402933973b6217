#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "link/exchange_record.h"

namespace korvel::web {

// What /metrics says: the line's counters since start, and each module's
// state from the last status request that reported it.
class Metrics {
  public:
    // On the worker's thread, for every exchange.
    void exchanged(const ExchangeRecord& record);
    void lineLost() { ++lost_; }
    // Every module row of a status request (the status command's "modules"), and its time.
    void status(const QJsonArray& modules, const QDateTime& time);

    // The text exposition format.
    QByteArray text() const;

  private:
    std::atomic<std::uint64_t> exchanges_{0}, missing_{0}, checkErrors_{0}, setAside_{0}, lost_{0};
    mutable std::mutex mutex_;
    QJsonArray modules_;
    qint64 time_ = 0;
};

}  // namespace korvel::web
