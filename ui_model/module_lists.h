#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "service/dispatch.h"
#include "service/module_family.h"
#include "service/module_registry.h"
#include "status/status_facts.h"

namespace korvel {

struct ListEntry {
    std::string text;
    std::int32_t itemData = 0;
    bool operator==(const ListEntry&) const = default;
};

// The content of a drop-down module list; the window mirrors it.
struct ModuleList {
    std::vector<ListEntry> entries;
    int selected = -1;  // index into entries, -1 when nothing is selected

    bool empty() const { return entries.empty(); }
    void clear() { entries.clear(), selected = -1; }
    void add(std::string text, std::int32_t itemData) {
        entries.push_back({std::move(text), itemData});
    }
    std::optional<std::int32_t> selectedItemData() const {
        if (selected < 0 || selected >= static_cast<int>(entries.size())) return std::nullopt;
        return entries[static_cast<std::size_t>(selected)].itemData;
    }
};

// What the last status request left behind for the setting pages: the
// registry, and the module lists made from it.
struct WindowRegistry : ModuleRegistry {
    ModuleList kxList;
    ModuleList zrList;
};

// Entry text of module n: " 5".
std::string moduleEntryText(int n);

// The list builders: clear the list, add the group entries that apply in front
// of the single modules, and select the first single module (ZR: the first
// entry). Nothing is selected in an empty list.
void rebuildKxListStandard(WindowRegistry& registry);
void rebuildKxListClassic(WindowRegistry& registry);
void rebuildZrList(WindowRegistry& registry);

// The registry as a request's facts fill it, with both lists made anew.
void registerModules(WindowRegistry& registry, const StatusFacts& facts);

// The modules a family's list addresses now: nullopt while the list is empty
// (no status request registered any), none while nothing is selected.
Targets selectedTargets(const WindowRegistry& registry, ModuleFamily family);

}  // namespace korvel
