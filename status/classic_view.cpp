#include "link/bus_words.h"
#include "status/status_request.h"
#include "status/summary_codes.h"

namespace korvel {

namespace {

// A summary reply names its sub-command in bits 4-7 of R3.
bool askSummary(StatusSteps& steps, int sub, int length) {
    return steps.askMatching(Frame{kToController, kSummary, sub}, length,
                             {kToController, kSummary}) &&
           (steps.reply()[3] >> 4) == sub;
}

// Bit j of R(3 + i) belongs to module 4i + j.
std::uint16_t moduleBits(const ReplyBuffer& reply, int modules) {
    unsigned bits = 0;
    for (int k = 0; k < modules; ++k)
        bits |= ((static_cast<unsigned>(reply[3 + k / 4]) >> (k % 4)) & 1u)
                << static_cast<unsigned>(k);
    return static_cast<std::uint16_t>(bits);
}

std::optional<std::uint16_t> askBitmap(StatusSteps& steps, int sub, int length, int modules) {
    if (!askSummary(steps, sub, length)) return std::nullopt;
    return moduleBits(steps.reply(), modules);
}

}  // namespace

ClassicFacts queryClassicView(StatusSteps& steps) {
    ClassicFacts facts;
    // The capacity answer carries exactly 16 in R3, not merely sub-command 1 in its upper bits.
    if (askSummary(steps, kCapacity, 4) && steps.reply()[3] == 16)
        facts.capacity = steps.reply()[4];
    steps.ask(Frame{kToController, kSummary, kUnexamined});
    if (const auto dip = askBitmap(steps, kDipSwitches, 3, 4))
        facts.dipBits = static_cast<std::uint8_t>(*dip);
    facts.kxPresent = askBitmap(steps, kKxPresence, 6, 16);
    facts.kxccBits = askBitmap(steps, kKxTypes, 6, 16);
    facts.kxFaults = askBitmap(steps, kKxFaults, 6, 16);
    if (const auto zr = askBitmap(steps, kZrPresence, 4, 8))
        facts.zrPresent = static_cast<std::uint8_t>(*zr);
    return facts;
}

}  // namespace korvel
