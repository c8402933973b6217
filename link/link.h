#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "link/frame.h"
#include "link/log_sink.h"
#include "link/serial_port.h"

namespace korvel {

// What one exchange came to. The link raises no message box: it returns this,
// and tells the front end's failure listener, which decides what the user sees.
enum class ExchangeOutcome {
    Answered,
    NoAnswer,          // the 2 s passed without an answer
    LineLost,          // the line failed; the port is closed now
    PortClosed,        // nothing was sent: no port, or it was lost before
    ControllerSilent,  // nothing was sent: the controller fell silent under a LossTolerance
    Stopped,           // the stop request ended it, before sending or while waiting
};

// How long and how much the link throws away before a request. A line still
// sending at either limit is a babbling line, and is lost: no request would
// ever get an answer that could be told from the noise.
inline constexpr std::chrono::milliseconds kDrainLimit{250};
inline constexpr std::size_t kDrainBytes = 16 * 1024;
inline constexpr const char* kBabblingLine =
    "the line kept sending when it should have been quiet; it was closed";

struct Exchange {
    ExchangeOutcome outcome = ExchangeOutcome::PortClosed;
    explicit operator bool() const { return outcome == ExchangeOutcome::Answered; }
};

// The one road to the bus controller: one request frame out, one answer frame
// back, the exchange handed to the message log as its record. Owns ReplyBuffer and ToggleBit.
class Link {
  public:
    Link(SerialPort& port, Clock& clock, LogSink& log, PollSwitch& poll);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Sends `frame` and waits for its answer; when one arrived it is in reply().
    Exchange Transact(const Frame& frame);
    // One tick of the poll timer: an empty frame while the port is open.
    void pollTick();

    const ReplyBuffer& reply() const { return reply_; }
    bool portOpen() const { return port_.isOpen(); }
    bool polling() const { return polling_; }
    void setPolling(bool on);
    int toggleBit() const { return toggleBit_; }
    // The "Stop" box, sent as bit 5 of every header.
    void setStopFlag(bool stop) { stop_ = stop; }
    bool stopFlag() const { return stop_; }

    // Asked before every exchange and in every wait; when it says stop, the
    // exchange in hand ends as Stopped and no box is raised. Handed on to the
    // port, whose own waits (connecting, negotiating) end on it too.
    void setStopRequest(StopRequest stop);
    bool stopRequested() const { return stopRequest_ && stopRequest_(); }

    // Receives every answer to an empty frame that carries data: the messages
    // the controller held for the program (module answers, settings reports).
    using AnswerListener = std::function<void(const ReplyBuffer&)>;
    // One listener's hold on those answers: it listens while this lives. Any
    // number listen at once, each told in the order it subscribed.
    class Subscription {
      public:
        Subscription() = default;
        Subscription(Subscription&& other) noexcept { *this = std::move(other); }
        Subscription& operator=(Subscription&& other) noexcept;
        ~Subscription() { cancel(); }
        void cancel();

      private:
        friend class Link;
        Subscription(Link* link, int id) : link_(link), id_(id) {}
        Link* link_ = nullptr;
        int id_ = 0;
    };
    [[nodiscard]] Subscription subscribe(AnswerListener listener);
    // Told of an exchange that went unanswered, and of a line that failed during
    // an exchange or between exchanges (once, with the device and the system's
    // error; the port is closed by then). Not told of an unanswered exchange
    // that made the controller count as silent.
    using FailureListener = std::function<void(ExchangeOutcome, const std::string& detail)>;
    void setFailureListener(FailureListener listener) { failureListener_ = std::move(listener); }
    // Told after a lost line has been reported, to put the front end back to "no port".
    void setLineLostListener(std::function<void()> listener) {
        lineLostListener_ = std::move(listener);
    }

    // While one lives, an unanswered exchange costs only itself; a second in a
    // row means the controller has gone silent: no further box, and every
    // exchange after it fails at once, as on a vanished line.
    class LossTolerance {
      public:
        explicit LossTolerance(Link& link);
        ~LossTolerance();
        LossTolerance(const LossTolerance&) = delete;
        LossTolerance& operator=(const LossTolerance&) = delete;

      private:
        Link& link_;
    };

    // While one lives, an answer that has not begun within the line's usual
    // time counts as lost at once, instead of after the full 2 s: for runs
    // that ask again, where waiting out every lost answer on a noisy line would
    // take far longer than the run itself. The usual time is kQuickLossFactor
    // times the slowest start of an answer seen on this line, at least
    // kQuickLossFloor; until one answer has been seen, the full wait holds.
    // `on`: the attempt in hand will be followed by another if it fails; the
    // last attempt waits the full time.
    class QuickLoss {
      public:
        QuickLoss(Link& link, bool on) : link_(link), was_(link.quickLoss_) {
            link_.quickLoss_ = on;
        }
        ~QuickLoss() { link_.quickLoss_ = was_; }
        QuickLoss(const QuickLoss&) = delete;
        QuickLoss& operator=(const QuickLoss&) = delete;

      private:
        Link& link_;
        bool was_;
    };
    static constexpr std::chrono::milliseconds kQuickLossFloor{10};
    static constexpr int kQuickLossFactor = 8;
    // The slowest start of an answer seen since the line was last lost.
    Clock::duration slowestAnswerStart() const { return slowestStart_; }
    // awaitMessage learns the same way how late awaited messages come, and
    // under a QuickLoss waits only the line's usual time for one.
    friend struct Awaited awaitMessage(Link& link,
                                       const std::function<bool(const ReplyBuffer&)>& arrived,
                                       Clock::time_point deadline);

    SerialPort& port() { return port_; }
    Clock& clock() { return clock_; }

  private:
    bool drain();
    void send(const Frame& frame);
    bool awaitAnswer(const Frame& frame);
    bool awaitAnswerStart(Clock::time_point sent, Clock::time_point deadline);
    ExchangeOutcome reportNoAnswer();
    void reportLineLost();

    SerialPort& port_;
    Clock& clock_;
    LogSink& log_;
    PollSwitch& poll_;
    ReplyBuffer reply_;
    ExchangeRecord record_;  // the exchange in hand, for LogSink::exchanged
    int toggleBit_ = 0;
    bool stop_ = true;
    StopRequest stopRequest_;
    bool polling_ = false;
    bool tolerant_ = false;
    bool babbling_ = false;
    bool quickLoss_ = false;
    bool startSeen_ = false;
    Clock::duration slowestStart_{};
    bool awaitSeen_ = false;
    Clock::duration slowestAwait_{};
    int unansweredInRow_ = 0;
    bool silent_ = false;
    std::vector<std::pair<int, AnswerListener>> answerListeners_;
    int lastListener_ = 0;
    FailureListener failureListener_;
    std::function<void()> lineLostListener_;
};

// Sends empty frames, collecting the messages the controller holds, until
// `arrived` takes the reply of one as the awaited message, or an exchange ends
// after `deadline`: its reply came too late and is not shown. At least one
// frame goes out. Each reply is shown to `arrived` once; the reply in hand
// before the call is not. A failed exchange ends the wait (a stop request's
// included) and is the outcome.
struct Awaited {
    bool arrived = false;
    ExchangeOutcome outcome = ExchangeOutcome::Answered;
    explicit operator bool() const { return arrived; }
};
Awaited awaitMessage(Link& link, const std::function<bool(const ReplyBuffer&)>& arrived,
                     Clock::time_point deadline);

}  // namespace korvel
