#pragma once

#include "service/module_registry.h"

namespace korvel {

// Entry text of module n: " 5".
std::string moduleEntryText(int n);

// The list builders: clear the list, add the group entries that apply in front
// of the single modules, and select the first single module (ZR: the first
// entry). Nothing is selected in an empty list.
void rebuildKxListStandard(ModuleRegistry& registry);
void rebuildKxListClassic(ModuleRegistry& registry);
void rebuildZrList(ModuleRegistry& registry);

}  // namespace korvel
