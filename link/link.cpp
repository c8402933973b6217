#include "link/link.h"

#include <algorithm>

#include "link/answer_rule.h"
#include "link/receiver.h"

namespace korvel {

namespace {
// The frame in the buffer as it came over the wire: bit 7 back on data and check.
ExchangeRecord::Bytes wireBytes(const ReplyBuffer& reply) {
    ExchangeRecord::Bytes bytes{reply.bytes[0]};
    for (int i = 1; i <= reply.dataCount() + 1; ++i)
        bytes.push_back(static_cast<std::uint8_t>(reply[i] | 0x80));
    return bytes;
}
}  // namespace

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
    if (stopRequested()) return {ExchangeOutcome::Stopped};
    if (!drain()) return {ExchangeOutcome::LineLost};

    record_ = ExchangeRecord{};
    send(frame);
    const bool answered = awaitAnswer(frame);
    // Cut short by a stop: the request went out, but "no answer" would be untrue.
    if (!answered && stopRequested()) {
        port_.purgeBeforeNextRequest();
        return {ExchangeOutcome::Stopped};
    }
    if (!answered) {
        // Its answer may still come, and must not be taken for the next one's.
        port_.purgeBeforeNextRequest();
        record_.unanswered = true;
        const ExchangeOutcome outcome = reportNoAnswer();
        log_.exchanged(record_);
        return {outcome};
    }
    unansweredInRow_ = 0;
    if (!record_.setAside.empty()) port_.purgeBeforeNextRequest();
    record_.answer = wireBytes(reply_);
    log_.exchanged(record_);
    if (frame.empty() && reply_.dataCount() > 0) {
        // A listener may subscribe or cancel while it is told: tell a copy.
        const auto listeners = answerListeners_;
        for (const auto& [id, listener] : listeners) listener(reply_);
    }
    setPolling(true);
    return {ExchangeOutcome::Answered};
}

Link::Subscription Link::subscribe(AnswerListener listener) {
    answerListeners_.emplace_back(++lastListener_, std::move(listener));
    return Subscription(this, lastListener_);
}

Link::Subscription& Link::Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        cancel();
        link_ = std::exchange(other.link_, nullptr);
        id_ = other.id_;
    }
    return *this;
}

void Link::Subscription::cancel() {
    if (!link_) return;
    std::erase_if(link_->answerListeners_, [this](const auto& l) { return l.first == id_; });
    link_ = nullptr;
}

namespace {
// Under a QuickLoss, the wait a learned pace allows: kQuickLossFactor times
// the slowest seen, at least kQuickLossFloor, never past `deadline`.
Clock::time_point quickLimit(bool quick, bool seen, Clock::duration slowest,
                             Clock::time_point from, Clock::time_point deadline) {
    if (!quick || !seen) return deadline;
    return std::min(deadline, from + std::max<Clock::duration>(Link::kQuickLossFloor,
                                                               Link::kQuickLossFactor * slowest));
}
}  // namespace

Awaited awaitMessage(Link& link, const std::function<bool(const ReplyBuffer&)>& arrived,
                     Clock::time_point deadline) {
    const Clock::time_point start = link.clock().now();
    deadline = quickLimit(link.quickLoss_, link.awaitSeen_, link.slowestAwait_, start, deadline);
    for (;;) {
        const Exchange exchange = link.Transact(Frame{});
        if (!exchange) return {false, exchange.outcome};
        const Clock::time_point now = link.clock().now();
        if (now > deadline) return {};
        if (arrived(link.reply())) {
            link.slowestAwait_ = std::max(link.awaitSeen_ ? link.slowestAwait_ : Clock::duration{},
                                          now - start);
            link.awaitSeen_ = true;
            return {true, exchange.outcome};
        }
    }
}

void Link::setStopRequest(StopRequest stop) {
    stopRequest_ = stop;
    port_.setStopRequest(std::move(stop));
}

// Throws away what came in since the last exchange. False when the line is
// still sending at the drain's limits: then it is closed and reported lost.
bool Link::drain() {
    const Clock::time_point limit = clock_.now() + kDrainLimit;
    std::size_t drained = 0;
    std::uint8_t discard = 0;
    while (port_.bytesAvailable() > 0 && port_.readByte(discard)) {
        if (++drained % 256 == 0 && (drained >= kDrainBytes || clock_.now() >= limit)) {
            port_.close();
            babbling_ = true;
            reportLineLost();
            babbling_ = false;
            return false;
        }
    }
    return true;
}

void Link::send(const Frame& frame) {
    const std::vector<std::uint8_t> wire = encodeRequest(frame, stop_, toggleBit_ != 0);
    record_.request = wire;
    record_.sent = clock_.now();
    port_.write(wire);
    toggleBit_ = 1 - toggleBit_;
}

// A frame that cannot answer this request (a late answer to an earlier one) is
// set aside in the record and the wait goes on, within the same 2 s.
bool Link::awaitAnswer(const Frame& frame) {
    const Clock::time_point sent = clock_.now();
    const Clock::time_point deadline = sent + kReplyTimeout;
    if (!awaitAnswerStart(sent, deadline)) {
        record_.answered = clock_.now();
        return false;
    }
    for (;;) {
        bool checkError = false;
        const bool received =
            ReceiveFrameBy(port_, clock_, reply_, deadline, &checkError, stopRequest_);
        record_.answered = clock_.now();
        if (checkError) record_.checkError = wireBytes(reply_);
        if (!received || canAnswer(frame, reply_)) return received;
        record_.setAside.push_back(wireBytes(reply_));
    }
}

// Waits for the first byte of an answer, learning how long answers take to
// begin; under a QuickLoss the wait ends at the line's usual time.
bool Link::awaitAnswerStart(Clock::time_point sent, Clock::time_point deadline) {
    const Clock::time_point limit = quickLimit(quickLoss_, startSeen_, slowestStart_, sent, deadline);
    while (port_.bytesAvailable() == 0) {
        const Clock::time_point now = clock_.now();
        if (now >= limit || stopRequested()) return false;
        auto left = std::chrono::ceil<std::chrono::milliseconds>(limit - now);
        if (stopRequest_) left = std::min(left, kStopCheck);
        if (!port_.waitForReadyRead(left) && !port_.isOpen()) return false;
    }
    const Clock::duration start = clock_.now() - sent;
    if (!startSeen_ || start > slowestStart_) slowestStart_ = start;
    startSeen_ = true;
    return true;
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
    // Another line may answer at another pace.
    startSeen_ = awaitSeen_ = false;
    slowestStart_ = slowestAwait_ = {};
    if (failureListener_)
        failureListener_(ExchangeOutcome::LineLost,
                         babbling_ ? kBabblingLine : port_.lineErrorDetail());
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
