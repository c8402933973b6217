#pragma once

#include "service/module_registry.h"
#include "status/status_facts.h"

namespace korvel {

// Entry text of module n: " 5".
std::string moduleEntryText(int n);

// The list builders: clear the list, add the group entries that apply in front
// of the single modules, and select the first single module (ZR: the first
// entry). Nothing is selected in an empty list.
void rebuildKxListStandard(ModuleRegistry& registry);
void rebuildKxListClassic(ModuleRegistry& registry);
void rebuildZrList(ModuleRegistry& registry);

// The registry as a request's facts fill it: the type table, the ZR presence
// table and both lists. The classic view owns only KX entries 0..15; the second
// halves keep what a standard request found.
void registerModules(ModuleRegistry& registry, const StatusFacts& facts);

}  // namespace korvel
