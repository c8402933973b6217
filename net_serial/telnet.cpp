#include "net_serial/telnet.h"

namespace korvel::net {

namespace {
// COM-PORT-OPTION is the client's to offer; the server only agrees or refuses.
bool accepted(std::uint8_t option) {
    return option == kBinary || option == kSuppressGoAhead;
}
}  // namespace

std::vector<std::uint8_t> escapeIac(std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> out;
    out.reserve(data.size() + 2);
    for (std::uint8_t b : data) {
        out.push_back(b);
        if (b == kIac) out.push_back(kIac);
    }
    return out;
}

std::vector<std::uint8_t> comPortCommand(std::uint8_t command,
                                         std::span<const std::uint8_t> value) {
    std::vector<std::uint8_t> out{kIac, kSb, kComPort, command};
    const std::vector<std::uint8_t> escaped = escapeIac(value);
    out.insert(out.end(), escaped.begin(), escaped.end());
    out.push_back(kIac);
    out.push_back(kSe);
    return out;
}

const std::vector<LineSetting>& lineSettings() {
    // 19200 baud as four bytes, most significant first.
    static const std::vector<LineSetting> settings{
        {kSetBaudRate, {0x00, 0x00, 0x4B, 0x00}, "baud rate"},
        {kSetDataSize, {8}, "data bits"},
        {kSetParity, {kParityNone}, "parity"},
        {kSetStopSize, {kOneStopBit}, "stop bits"},
        {kSetControl, {kNoFlowControl}, "flow control"},
    };
    return settings;
}

std::vector<std::uint8_t> TelnetClient::greeting() {
    ours_[kBinary] = ours_[kSuppressGoAhead] = ours_[kComPort] = true;
    theirs_[kBinary] = theirs_[kSuppressGoAhead] = true;
    return {kIac, kWill, kBinary,          kIac, kDo,   kBinary, kIac, kWill, kSuppressGoAhead,
            kIac, kDo,   kSuppressGoAhead, kIac, kWill, kComPort};
}

void TelnetClient::receive(std::span<const std::uint8_t> bytes, std::deque<std::uint8_t>& data,
                           std::vector<std::uint8_t>& reply) {
    for (std::uint8_t b : bytes) {
        if (broken_) return;
        switch (state_) {
            case State::Data:
                if (b == kIac)
                    state_ = State::Iac;
                else
                    data.push_back(b);
                break;
            case State::Iac:
                if (b == kIac) {
                    data.push_back(kIac);
                    state_ = State::Data;
                } else if (b >= kWill && b <= kDont) {
                    verb_ = b;
                    state_ = State::Verb;
                } else if (b == kSb) {
                    sub_.clear();
                    state_ = State::Sub;
                } else {
                    state_ = State::Data;  // NOP, go-ahead and the like carry nothing for us
                }
                break;
            case State::Verb:
                negotiate(verb_, b, reply);
                state_ = State::Data;
                break;
            case State::Sub:
                if (b == kIac)
                    state_ = State::SubIac;
                else
                    keepSub(b);
                break;
            case State::SubIac:
                if (b == kSe) {
                    subnegotiation();
                    state_ = State::Data;
                } else {
                    // A doubled 255 is a value byte; anything else is a broken command, kept as is.
                    keepSub(b);
                    state_ = State::Sub;
                }
                break;
        }
    }
}

// Agrees to the options in accepted() and refuses the rest; answers only a
// change of state, so two ends never echo each other for ever.
void TelnetClient::negotiate(std::uint8_t verb, std::uint8_t option,
                             std::vector<std::uint8_t>& reply) {
    const bool aboutUs = verb == kDo || verb == kDont;
    const bool wanted = verb == kDo || verb == kWill;
    if (option == kComPort && aboutUs) {
        comPort_ = wanted ? ComPort::Agreed : ComPort::Refused;
        ours_[kComPort] = wanted;
        return;
    }
    std::map<std::uint8_t, bool>& side = aboutUs ? ours_ : theirs_;
    const bool agree = wanted && accepted(option);
    const bool was = side[option];
    side[option] = agree;
    if (agree == was && agree == wanted) return;
    if (!agree && !was && !wanted) return;
    const std::uint8_t answer = aboutUs ? (agree ? kWill : kWont) : (agree ? kDo : kDont);
    reply.insert(reply.end(), {kIac, answer, option});
}

void TelnetClient::keepSub(std::uint8_t b) {
    if (sub_.size() == kMaxSubnegotiation)
        broken_ = true;
    else
        sub_.push_back(b);
}

void TelnetClient::subnegotiation() {
    if (sub_.size() < 2 || sub_[0] != kComPort || sub_[1] < kServerOffset) return;
    replies_[static_cast<std::uint8_t>(sub_[1] - kServerOffset)] =
        std::vector<std::uint8_t>(sub_.begin() + 2, sub_.end());
}

bool TelnetClient::binary() const {
    const auto on = [](const std::map<std::uint8_t, bool>& side) {
        const auto it = side.find(kBinary);
        return it != side.end() && it->second;
    };
    return on(ours_) && on(theirs_);
}

const std::vector<std::uint8_t>* TelnetClient::serverReply(std::uint8_t command) const {
    auto it = replies_.find(command);
    return it == replies_.end() ? nullptr : &it->second;
}

}  // namespace korvel::net
