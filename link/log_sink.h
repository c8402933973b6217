#pragma once

#include "link/exchange_record.h"

namespace korvel {

// Receives every exchange the link made, as its record, once it has ended.
class LogSink {
  public:
    virtual ~LogSink() = default;
    virtual void exchanged(const ExchangeRecord& record) = 0;
};

// The poll timer as the link sees it.
class PollSwitch {
  public:
    virtual ~PollSwitch() = default;
    virtual void setPolling(bool on) = 0;
};

}  // namespace korvel
