#pragma once

#include <string_view>

#include "link/exchange_record.h"

namespace korvel {

// Receives the message-log text piece by piece; pieces carry their own CR LF.
class LogSink {
  public:
    virtual ~LogSink() = default;
    virtual void append(std::string_view piece) = 0;
    // The same exchange once more as a record, after its last piece.
    virtual void exchanged(const ExchangeRecord& record) { (void)record; }
};

// The poll timer as the link sees it.
class PollSwitch {
  public:
    virtual ~PollSwitch() = default;
    virtual void setPolling(bool on) = 0;
};

}  // namespace korvel
