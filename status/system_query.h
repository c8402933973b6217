#pragma once

#include <optional>

#include "status/status_steps.h"
#include "vg/vg_unit.h"

namespace korvel {

// What the controller said about itself at the start of a status request;
// -1 stands for a value that never arrived.
struct SystemFacts {
    int statusCode = 0;
    int protocolVersion = -1;
    int systemType = -1;
    int systemVersion = -1;
    bool operator==(const SystemFacts&) const = default;
};

// Empty frames the request spends waiting for a late protocol version answer.
inline constexpr int kProtocolVersionWait = 40;

// Asks for the protocol version (waiting for a late answer) and the system type
// and version. nullopt when the first query gets no answer at all.
std::optional<SystemFacts> queryController(StatusSteps& steps);

// What the reported VG unit offers.
VgPanelFlags vgFlags(const SystemFacts& facts);

}  // namespace korvel
