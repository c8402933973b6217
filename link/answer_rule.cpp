#include "link/answer_rule.h"

#include "link/bus_words.h"

namespace korvel {

namespace {

bool isQueryCode(int code) {
    return code == kProtocolVersion || code == kSummary || code == kSystemVersion ||
           code == kModuleStatus;
}

bool isStatusQuery(const Frame& request) {
    return request.count() >= 2 && request[0].value() == kToController &&
           isQueryCode(request[1].value());
}

bool isQueryAnswer(const ReplyBuffer& reply) {
    return reply.dataCount() >= 2 && reply[1] == kToController && isQueryCode(reply[2]);
}

// A summary answer names its sub-command in bits 4-7 of R3; a module status
// answer repeats the address in R3.
bool repeatsLeadingBytes(const Frame& request, const ReplyBuffer& reply) {
    const int code = request[1].value();
    if (reply.dataCount() < 2 || reply[1] != kToController || reply[2] != code) return false;
    if (request.count() < 3) return true;
    const int third = request[2].value();
    if (code == kModuleStatus) return reply.dataCount() >= 3 && reply[3] == third;
    // Sub-commands above 7 do not fit the four bits; their answer is not examined.
    if (code == kSummary)
        return third > 7 || (reply.dataCount() >= 3 && (reply[3] >> 4) == third);
    return true;
}

}  // namespace

bool canAnswer(const Frame& request, const ReplyBuffer& reply) {
    if (request.empty()) return true;
    if (!isStatusQuery(request)) return !isQueryAnswer(reply);
    // A controller with nothing ready answers with an empty frame; the step is
    // then skipped, as for any reply that does not match it.
    if (reply.dataCount() == 0) return true;
    if (request[1].value() == kProtocolVersion)
        return !isQueryAnswer(reply) || repeatsLeadingBytes(request, reply);
    return repeatsLeadingBytes(request, reply);
}

}  // namespace korvel
