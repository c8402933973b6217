#pragma once

#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "ctl/std_streams.h"
#include "link/link.h"
#include "service/ports.h"

namespace korvel::ctl {

// Where a command writes: results to `out`, messages to `err`, one line each,
// behind the program's name. `progress` is set when `err` is a terminal someone
// watches; `in` is set when standard input is a terminal that can answer a question.
struct Terminal {
    std::ostream& out;
    std::ostream& err;
    bool progress = false;
    std::istream* in = nullptr;
    // Standard input for "-" as a file: a backup read from a pipe.
    std::istream* stdinStream = nullptr;
    // The program's own standard output, closed and checked at the end; when
    // set, `in` and `stdinStream` are descriptor 0, read so that a signal stops it.
    FdOutput* standardOutput = nullptr;

    void message(const std::string& line) const { err << "korvelctl: " << line << '\n'; }
};

// A terminal command has no log window: with -v every exchange is written to
// standard error as the message log writes it, with its time and its words;
// `monitor` hands each exchange to `onExchange` as well.
class TerminalLog final : public LogSink {
  public:
    explicit TerminalLog(const Terminal& terminal) : terminal_(terminal) {}
    void exchanged(const ExchangeRecord& record) override;

    bool verbose = false;
    std::function<void(const ExchangeRecord&)> onExchange;

  private:
    const Terminal& terminal_;
};

// The time of day at which a steady-clock reading happened, as "14:03:07.250".
std::string timeOfDay(Clock::time_point when);

// Nothing polls between the steps of a command: it ends before any would.
class NoPolling final : public PollSwitch {
  public:
    void setPolling(bool) override {}
};

// The serial line a command runs over and how -p or --demo picks it.
class LineAccess {
  public:
    virtual ~LineAccess() = default;
    virtual SerialPort& port() = 0;
    virtual Clock& clock() = 0;
    // The port to open: the checked -p value, or the demo system's line when
    // there is none (--demo).
    virtual PortSpec choose(const std::optional<PortSpec>& given) = 0;
};

}  // namespace korvel::ctl
