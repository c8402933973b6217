#include "status/status_request.h"

#include "link/bus_words.h"
#include "status/view_choice.h"

namespace korvel {

std::optional<StatusReport> RequestStatus(Link& link, ModuleRegistry& registry,
                                          bool classicRequested, const StatusResultHook& onResult) {
    if (!link.portOpen()) return std::nullopt;
    // One lost frame costs its step; a controller that stays silent costs one box.
    const Link::LossTolerance tolerance(link);
    const std::optional<SystemFacts> facts = queryController(link);
    if (!facts) return std::nullopt;

    // The registry changes only when the request ran to its end on a live line:
    // a line that vanished halfway would otherwise drop modules that exist.
    ModuleRegistry found = registry;
    StatusReport report{StandardStatusTexts{}, vgTypeCaption(*facts), vgFlags(*facts)};
    if (useClassicView(classicRequested, facts->protocolVersion))
        report.dialog = queryClassicView(link, found, *facts);
    else
        report.dialog = queryStandardView(link, found, *facts);
    if (!link.portOpen() || link.controllerSilent()) return std::nullopt;
    registry = std::move(found);
    if (onResult) onResult(report);
    link.Transact(Frame{});
    return report;
}

void ResetFault(Link& link) {
    if (!link.portOpen()) return;
    link.Transact(kResetFaultRequest);
}

}  // namespace korvel
