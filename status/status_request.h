#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "link/link.h"
#include "status/status_facts.h"
#include "status/status_steps.h"

namespace korvel {

// Controllers of protocol 3100 and older (or silent about it, -1) only know
// the classic queries.
bool useClassicView(bool classicRequested, int protocolVersion);

struct StatusOptions {
    bool classicRequested = false;
    // How often a status step whose exchange got no answer is asked again.
    int retries = 0;
};

// Takes a complete result into the front end (lists, VG page) before the
// request's closing empty frame, whose answer may be a settings report that
// must meet the new list and selection.
using StatusResultHook = std::function<void(const StatusFacts&)>;

// The status request: asks the controller and its modules. nullopt (no
// result) when the port is closed, the controller does not answer the first
// query, or the line vanished or the controller fell silent before the last
// query was answered; a line lost only on the closing empty frame keeps the
// complete result. The registry is the caller's: see registerModules.
std::optional<StatusFacts> RequestStatus(Link& link, const StatusOptions& options,
                                         const StatusResultHook& onResult = {});

// The two ways the request goes on after the controller's own answers, up to
// the closing empty frame.
std::vector<ModuleFact> queryStandardView(StatusSteps& steps);
ClassicFacts queryClassicView(StatusSteps& steps);

// "Reset Fault": one command to the controller; its answer is not examined,
// only whether one came.
Exchange ResetFault(Link& link);

}  // namespace korvel
