#pragma once

#include <optional>
#include <vector>

#include "link/link.h"
#include "service/module_family.h"
#include "service/module_registry.h"

namespace korvel {

// Module numbers a KX selection addresses, in sending order: a single module,
// or every registered module of the group.
std::vector<int> kxTargets(std::int32_t itemData, const KxTypeTable& types);
// "All" addresses ZR numbers 0..7 whether or not they answered the last Status.
std::vector<int> zrTargets(std::int32_t itemData);

// The modules a command goes to; nullopt when no status request registered any.
using Targets = std::optional<std::vector<int>>;

// How a command to modules ended.
struct DispatchOutcome {
    enum Result { Done, NoPort, NotRegistered, Unanswered };
    Result result = Done;
    // Unanswered: the module whose command got no answer; -1 when it was the
    // opening or closing empty frame or a command to the VG unit.
    int module = -1;
    ExchangeOutcome exchange = ExchangeOutcome::Answered;
    // The modules whose command was answered, in sending order.
    std::vector<int> answered;

    bool done() const { return result == Done; }
};

// Sends one command to each target module (ignored for the VG unit), between an
// opening and a closing empty frame. The closing frame collects the last
// module's own answer. Stops at the first unanswered frame. A family of
// nullopt targets sends the opening and closing frames and reports
// NotRegistered.
DispatchOutcome SendModuleCommand(Link& link, ModuleFamily family, const Targets& targets, int n,
                                  CommandByte c, CommandByte v, CommandByte x);

}  // namespace korvel
