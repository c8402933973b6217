#include "kx/master_slave_check.h"

#include <chrono>
#include <optional>

#include "kx/settings.h"
#include "link/bus_words.h"

namespace korvel {

namespace {

constexpr std::chrono::seconds kModuleWait{2};
constexpr int kMSModeCode = settingRow(KxOptionSetting::MSMode).code;

bool takesPart(std::int16_t type) {
    return type == kKxH || type == kKx44;
}

std::string labelOf(int m, std::int16_t type) {
    if (type == kKxH) return "KX-H " + std::to_string(m);
    return "KX44  " + std::to_string(m % 16) + "." + std::to_string(m / 16);
}

// The answer of module m to the MS-mode query; the low three bits of byte 3 are
// not looked at, and an answer with the Permanent bit does not count.
bool isAnswerOf(const ReplyBuffer& reply, int m) {
    return reply.lowNibble() == 13 && reply[1] == kToModule && reply[2] == kxAddressByte(m) &&
           (reply[3] & ~7) == kxHalfByte(m, kKxCommandMark) && reply[4] == kMSModeCode;
}

std::string reportLine(const std::string& label, int mode) {
    switch (mode) {
        case 1:
            return label + " is master\r\n";
        case 2:
            return label + " is slave\r\n";
        default:
            return label + " returns error: " + std::to_string(mode) + "\r\n";
    }
}

// Empty frames until module m's answer is in the reply buffer or 2 s have passed.
// nullopt when an exchange went unanswered.
std::optional<bool> awaitAnswer(Link& link, int m, const std::string& label,
                                MasterSlaveCheck& check) {
    const auto answered = [&](const ReplyBuffer& reply) { return isAnswerOf(reply, m); };
    if (!answered(link.reply())) {
        const Awaited awaited = awaitMessage(link, answered, link.clock().now() + kModuleWait);
        if (awaited.outcome != ExchangeOutcome::Answered) return std::nullopt;
        if (!awaited) return false;
    }
    const int mode = link.reply()[5];
    check.report += reportLine(label, mode);
    check.answers.push_back({m, mode});
    if (mode == 1) ++check.masterCount;
    return true;
}

void judge(MasterSlaveCheck& check) {
    check.outcome = MasterSlaveOutcome::Judged;
    const char* verdict = check.masterCount == 0   ? kNoMaster
                          : check.masterCount == 1 ? kMasterSlaveOk
                                                   : kMultipleMasters;
    check.verdict = verdict;
    check.message = check.report + "\r\n" + verdict;
}

}  // namespace

MasterSlaveCheck checkMasterSlave(Link& link, const KxTypeTable& types) {
    MasterSlaveCheck check;
    if (!link.portOpen()) return check;
    if (!link.Transact(Frame{})) return check;

    for (int m = 0; m < 32; ++m) {
        const std::int16_t type = types[static_cast<std::size_t>(m)];
        if (!takesPart(type)) continue;
        if (!link.Transact(
                Frame{kToModule, kxAddressByte(m), kxHalfByte(m, kKxCommandMark), kMSModeCode}))
            return check;
        const std::optional<bool> answered = awaitAnswer(link, m, labelOf(m, type), check);
        if (!answered) return check;
        if (!*answered) {
            check.outcome = MasterSlaveOutcome::ModuleSilent;
            check.silentModule = m;
            check.message = kNoAnswerFromModule + std::to_string(m);
            return check;
        }
    }
    if (!link.Transact(Frame{})) return check;
    judge(check);
    return check;
}

}  // namespace korvel
