#pragma once

#include <string_view>

namespace korvel {

// Receives the message-log text piece by piece; pieces carry their own CR LF.
class LogSink {
  public:
    virtual ~LogSink() = default;
    virtual void append(std::string_view piece) = 0;
};

// The poll timer as the link sees it.
class PollSwitch {
  public:
    virtual ~PollSwitch() = default;
    virtual void setPolling(bool on) = 0;
};

}  // namespace korvel
