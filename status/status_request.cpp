#include "status/status_request.h"

#include "status/view_choice.h"

namespace korvel {

std::optional<StatusReport> RequestStatus(Link& link, ModuleRegistry& registry,
                                          bool classicRequested) {
    if (!requirePortOpen(link)) return std::nullopt;
    const std::optional<SystemFacts> facts = queryController(link);
    if (!facts) return std::nullopt;

    StatusReport report{StandardStatusTexts{}, vgTypeCaption(*facts), vgFlags(*facts)};
    if (useClassicView(classicRequested, facts->protocolVersion))
        report.dialog = queryClassicView(link, registry, *facts);
    else
        report.dialog = queryStandardView(link, registry, *facts);
    return report;
}

void ResetFault(Link& link) {
    if (!requirePortOpen(link)) return;
    link.Transact(Frame{1, 0});
}

}  // namespace korvel
