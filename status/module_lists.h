#pragma once

#include "service/module_registry.h"
#include "status/status_facts.h"

namespace korvel {

// The registry as a request's facts fill it: the type table and the ZR
// presence table. The classic view owns only KX entries 0..15; the second
// halves keep what a standard request found.
void registerModules(ModuleRegistry& registry, const StatusFacts& facts);

}  // namespace korvel
