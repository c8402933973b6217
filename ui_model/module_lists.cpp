#include "ui_model/module_lists.h"

#include "status/module_lists.h"

namespace korvel {

namespace {

std::int16_t kxType(const ModuleRegistry& registry, int n) {
    return registry.kxTypes[static_cast<std::size_t>(n)];
}

bool anyKxModule(const ModuleRegistry& registry, auto matches) {
    for (int n = 0; n < 16; ++n)
        if (matches(kxType(registry, n))) return true;
    return false;
}

// Adds the group entry when a module of its kind answered; counts the groups.
void addGroupIf(ModuleList& list, int& groups, bool present, const char* text,
                std::int32_t itemData) {
    if (!present) return;
    list.add(text, itemData);
    ++groups;
}

// The first entry after the groups is the first single module; a list of groups
// alone falls back to its last group.
void selectFirstModule(ModuleList& list, int groups) {
    int g = groups - 1;
    if (static_cast<int>(list.entries.size()) > g + 1) ++g;
    list.selected = g;
}

bool anyOfType(const ModuleRegistry& registry, std::int16_t wanted) {
    return anyKxModule(registry, [wanted](std::int16_t t) { return t == wanted; });
}

}  // namespace

std::string moduleEntryText(int n) {
    return " " + std::to_string(n);
}

void rebuildKxListStandard(WindowRegistry& registry) {
    ModuleList& list = registry.kxList;
    list.clear();
    int groups = 0;
    addGroupIf(list, groups,
               anyKxModule(registry, [](std::int16_t t) { return t == kKxH || t == kKx44; }),
               "All_KXxx", kAllKXxx);
    addGroupIf(list, groups, anyOfType(registry, kKx44), "All_KX44", kAllKX44);
    addGroupIf(list, groups, anyOfType(registry, kKxH), "All_KX-H", kAllKXH);
    addGroupIf(list, groups, anyOfType(registry, kKxWobe), "All_WOBE", kAllWobe);
    for (int n = 0; n < 16; ++n) {
        const std::int16_t type = kxType(registry, n);
        if (type == kKx44) {
            list.add(moduleEntryText(n) + ".0", n);
            if (kxType(registry, n + 16) == kKx44) list.add(moduleEntryText(n) + ".1", n + 16);
        } else if (type >= 0) {
            list.add(moduleEntryText(n), n);
        }
    }
    selectFirstModule(list, groups);
}

void rebuildKxListClassic(WindowRegistry& registry) {
    ModuleList& list = registry.kxList;
    list.clear();
    int groups = 0;
    addGroupIf(list, groups, anyOfType(registry, kKxH), "All_KX-H", kAllKXH);
    addGroupIf(list, groups, anyOfType(registry, kKxWobe), "All_WOBE", kAllWobe);
    for (int n = 0; n < 16; ++n)
        if (kxType(registry, n) >= 0) list.add(moduleEntryText(n), n);
    selectFirstModule(list, groups);
}

void rebuildZrList(WindowRegistry& registry) {
    ModuleList& list = registry.zrList;
    list.clear();
    const auto present = [&](int n) {
        return registry.zrPresent[static_cast<std::size_t>(n)] == 1;
    };
    if (anyZrPresent(registry)) list.add("All", kAllZR);
    for (int n = 0; n < 8; ++n)
        if (present(n)) list.add(moduleEntryText(n), n);
    // "All" does not count as a group here, so the list opens on its first entry.
    selectFirstModule(list, 0);
}

void registerModules(WindowRegistry& registry, const StatusFacts& facts) {
    registerModules(static_cast<ModuleRegistry&>(registry), facts);
    if (facts.classic)
        rebuildKxListClassic(registry);
    else
        rebuildKxListStandard(registry);
    rebuildZrList(registry);
}

Targets selectedTargets(const WindowRegistry& registry, ModuleFamily family) {
    const ModuleList& list = family == ModuleFamily::KX ? registry.kxList : registry.zrList;
    if (list.empty()) return std::nullopt;
    const std::optional<std::int32_t> selected = list.selectedItemData();
    if (!selected) return std::vector<int>{};
    return family == ModuleFamily::KX ? kxTargets(*selected, registry.kxTypes)
                                      : zrTargets(*selected);
}

}  // namespace korvel
