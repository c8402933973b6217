#include "link/link.h"

#include "link/receiver.h"

namespace korvel {

Link::Link(SerialPort& port, Clock& clock, Prompter& prompter, LogSink& log, PollSwitch& poll)
    : port_(port), clock_(clock), prompter_(prompter), log_(log), poll_(poll) {}

void Link::setPolling(bool on) {
    polling_ = on;
    poll_.setPolling(on);
}

bool Link::isSettingsReport(const ReplyBuffer& reply) {
    return reply.lowNibble() > 12 && reply[1] == 0 && reply[2] >= 32 && reply[2] <= 63;
}

bool Link::Transact(const Frame& frame) {
    setPolling(false);
    // A port lost in an earlier exchange has been reported once; a sequence
    // that goes on must not raise a box for every remaining step.
    if (!port_.isOpen()) return false;

    std::uint8_t discard = 0;
    while (port_.bytesAvailable() > 0 && port_.readByte(discard)) {
    }

    const std::vector<std::uint8_t> wire = encodeRequest(frame, stop_, toggleBit_ != 0);
    std::string request = ">>";
    for (std::uint8_t b : wire) request += FormatLogByte(b);
    request.append(static_cast<std::size_t>(3 * (Frame::kMaxData - frame.count())), ' ');

    port_.write(wire);
    if (!frame.empty()) log_.append(request);
    toggleBit_ = 1 - toggleBit_;

    const std::string answer = ReceiveFrame(port_, clock_, reply_);
    if (answer.empty()) {
        prompter_.show(kNoAnswer, MessageIcon::Exclamation);
        log_.append("\r\n");
        return false;
    }
    if (!frame.empty()) {
        log_.append("  <<" + answer + "\r\n");
    } else if (answer.size() > 6) {
        log_.append(request + "  <<" + answer + "\r\n");
        if (isSettingsReport(reply_) && settingsReport_) settingsReport_(reply_);
    }
    setPolling(true);
    return true;
}

void Link::pollTick() {
    if (port_.isOpen())
        Transact(Frame{});
    else
        setPolling(false);
}

bool requirePortOpen(Link& link) {
    if (link.portOpen()) return true;
    link.prompter().show(kSelectPort, MessageIcon::Exclamation);
    return false;
}

}  // namespace korvel
