#include "status/system_query.h"

#include "link/bus_words.h"
#include "status/status_steps.h"
#include "status/status_texts.h"
#include "status/version.h"

namespace korvel {

namespace {

bool isProtocolAnswer(const ReplyBuffer& reply) {
    return replyMatches(reply, 4, {kToController, kProtocolVersion});
}

int protocolVersionOf(const ReplyBuffer& reply) {
    return versionNumber(reply[3], reply[4]);
}

// The controller may answer the first query before its version is ready; the
// version then comes with one of the next empty frames. An unanswered empty
// frame does not end the wait.
int awaitProtocolVersion(StatusSteps& steps) {
    for (int i = 0; i < kProtocolVersionWait; ++i)
        if (steps.ask(Frame{}) && isProtocolAnswer(steps.reply()))
            return protocolVersionOf(steps.reply());
    return -1;
}

}  // namespace

std::optional<SystemFacts> queryController(StatusSteps& steps) {
    if (!steps.ask(kProtocolVersionQuery)) return std::nullopt;
    SystemFacts facts;
    facts.statusCode = (steps.reply().header() >> 4) & 3;
    facts.protocolVersion = isProtocolAnswer(steps.reply()) ? protocolVersionOf(steps.reply())
                                                            : awaitProtocolVersion(steps);

    if (steps.askMatching(kSystemVersionQuery, 5, {kToController, kSystemVersion})) {
        const ReplyBuffer& r = steps.reply();
        facts.systemType = r[3];
        facts.systemVersion = versionNumber(r[4], r[5]);
    }
    return facts;
}

VgPanelFlags vgFlags(const SystemFacts& facts) {
    return vgPanelFlags(systemTypeOf(facts.systemType).unit, facts.systemVersion);
}

}  // namespace korvel
