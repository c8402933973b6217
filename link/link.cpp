#include "link/link.h"

#include "link/answer_rule.h"
#include "link/receiver.h"

namespace korvel {

namespace {
constexpr const char* kSetAside = "  (ignored: not the answer to this request)";
}

Link::Link(SerialPort& port, Clock& clock, LogSink& log, PollSwitch& poll)
    : port_(port), clock_(clock), log_(log), poll_(poll) {
    port_.setIdleFailureListener([this] { reportLineLost(); });
}

Link::~Link() {
    port_.setIdleFailureListener({});
}

void Link::setPolling(bool on) {
    polling_ = on;
    poll_.setPolling(on);
}

Exchange Link::Transact(const Frame& frame) {
    setPolling(false);
    // A lost port or a silent controller has been reported once; a sequence
    // that goes on must not raise a box for every remaining step.
    if (!port_.isOpen()) return {ExchangeOutcome::PortClosed};
    if (silent_) return {ExchangeOutcome::ControllerSilent};

    drain();
    const std::string request = send(frame);
    const std::string answer = awaitAnswer(frame, request);
    if (answer.empty()) {
        const ExchangeOutcome outcome = reportNoAnswer();
        log_.append("\r\n");
        return {outcome};
    }
    unansweredInRow_ = 0;
    logAnswer(frame, request, answer);
    if (frame.empty() && reply_.dataCount() > 0 && answerListener_) answerListener_(reply_);
    setPolling(true);
    return {ExchangeOutcome::Answered};
}

void Link::drain() {
    std::uint8_t discard = 0;
    while (port_.bytesAvailable() > 0 && port_.readByte(discard)) {
    }
}

// Writes the frame and returns its log text, padded so that every answer starts
// in the same column. A request with data is logged before the wait.
std::string Link::send(const Frame& frame) {
    const std::vector<std::uint8_t> wire = encodeRequest(frame, stop_, toggleBit_ != 0);
    std::string request = ">>";
    for (std::uint8_t b : wire) request += FormatLogByte(b);
    request.append(static_cast<std::size_t>(3 * (Frame::kMaxData - frame.count())), ' ');

    port_.write(wire);
    if (!frame.empty()) log_.append(request);
    toggleBit_ = 1 - toggleBit_;
    return request;
}

// A frame that cannot answer this request (a late answer to an earlier one) is
// logged on a line of its own and the wait goes on, within the same 2 s.
std::string Link::awaitAnswer(const Frame& frame, const std::string& request) {
    const Clock::time_point deadline = clock_.now() + kReplyTimeout;
    for (;;) {
        std::string answer = ReceiveFrameBy(port_, clock_, reply_, deadline);
        if (answer.empty() || canAnswer(frame, reply_)) return answer;
        log_.append("  <<" + answer + kSetAside + "\r\n" + std::string(request.size(), ' '));
    }
}

void Link::logAnswer(const Frame& frame, const std::string& request, const std::string& answer) {
    if (!frame.empty())
        log_.append("  <<" + answer + "\r\n");
    else if (answer.size() > 6)
        log_.append(request + "  <<" + answer + "\r\n");
}

ExchangeOutcome Link::reportNoAnswer() {
    ++unansweredInRow_;
    if (!port_.isOpen()) {
        reportLineLost();
        return ExchangeOutcome::LineLost;
    }
    if (tolerant_ && unansweredInRow_ >= 2) {
        silent_ = true;
        return ExchangeOutcome::ControllerSilent;
    }
    if (failureListener_) failureListener_(ExchangeOutcome::NoAnswer, {});
    return ExchangeOutcome::NoAnswer;
}

// The same one notice whether the line failed in an exchange or between them.
void Link::reportLineLost() {
    setPolling(false);
    if (failureListener_) failureListener_(ExchangeOutcome::LineLost, port_.lineErrorDetail());
    if (lineLostListener_) lineLostListener_();
}

Link::LossTolerance::LossTolerance(Link& link) : link_(link) {
    link_.tolerant_ = true;
    link_.unansweredInRow_ = 0;
    link_.silent_ = false;
}

Link::LossTolerance::~LossTolerance() {
    link_.tolerant_ = false;
    link_.silent_ = false;
}

void Link::pollTick() {
    if (port_.isOpen())
        Transact(Frame{});
    else
        setPolling(false);
}

}  // namespace korvel
