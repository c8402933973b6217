#include "status/status_request.h"

#include "link/bus_words.h"

namespace korvel {

bool useClassicView(bool classicRequested, int protocolVersion) {
    return classicRequested || protocolVersion <= 3100;
}

std::optional<StatusFacts> RequestStatus(Link& link, const StatusOptions& options,
                                         const StatusResultHook& onResult) {
    if (!link.portOpen()) return std::nullopt;
    // One lost step costs itself; a controller that stays silent costs one box.
    StatusSteps steps(link, options.retries);
    const std::optional<SystemFacts> system = queryController(steps);
    if (!system) return std::nullopt;

    StatusFacts facts;
    facts.system = *system;
    facts.classic = useClassicView(options.classicRequested, system->protocolVersion);
    if (facts.classic)
        facts.summary = queryClassicView(steps);
    else
        facts.modules = queryStandardView(steps);
    // A line that vanished halfway would drop modules that exist.
    if (!steps.complete()) return std::nullopt;
    if (onResult) onResult(facts);
    link.Transact(Frame{});
    return facts;
}

Exchange ResetFault(Link& link) {
    if (!link.portOpen()) return {};
    return link.Transact(kResetFaultRequest);
}

}  // namespace korvel
