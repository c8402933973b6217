#include "status/module_lists.h"

#include "status/table_slot.h"

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

void registerStandard(ModuleRegistry& registry, const std::vector<ModuleFact>& modules) {
    for (int n = 0; n < 32; ++n) slot(registry.kxTypes, n) = kKxNone;
    for (const ModuleFact& f : modules) {
        if (!f.present()) continue;
        if (f.family == ModuleFamily::ZR) slot(registry.zrPresent, f.number) = 1;
        if (f.family == ModuleFamily::KX && (f.half == 0 || f.typeCode == kKx44))
            slot(registry.kxTypes, f.kxIndex()) = f.typeCode;
    }
    rebuildKxListStandard(registry);
}

void registerClassic(ModuleRegistry& registry, const ClassicFacts& c) {
    for (int k = 0; k < 16; ++k) {
        const bool typed = c.kxccBits && c.kxActive(k);
        slot(registry.kxTypes, k) =
            typed ? classicKxTypeOf(ClassicFacts::bit(*c.kxccBits, k)).code : std::int16_t{kKxNone};
    }
    if (c.zrPresent)
        for (int k = 0; k < 8; ++k)
            if (ClassicFacts::bit(*c.zrPresent, k)) slot(registry.zrPresent, k) = 1;
    rebuildKxListClassic(registry);
}

}  // namespace

void registerModules(ModuleRegistry& registry, const StatusFacts& facts) {
    for (int n = 0; n < 8; ++n) slot(registry.zrPresent, n) = -1;
    if (facts.classic)
        registerClassic(registry, facts.summary);
    else
        registerStandard(registry, facts.modules);
    rebuildZrList(registry);
}

std::string moduleEntryText(int n) {
    return " " + std::to_string(n);
}

void rebuildKxListStandard(ModuleRegistry& registry) {
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

void rebuildKxListClassic(ModuleRegistry& registry) {
    ModuleList& list = registry.kxList;
    list.clear();
    int groups = 0;
    addGroupIf(list, groups, anyOfType(registry, kKxH), "All_KX-H", kAllKXH);
    addGroupIf(list, groups, anyOfType(registry, kKxWobe), "All_WOBE", kAllWobe);
    for (int n = 0; n < 16; ++n)
        if (kxType(registry, n) >= 0) list.add(moduleEntryText(n), n);
    selectFirstModule(list, groups);
}

void rebuildZrList(ModuleRegistry& registry) {
    ModuleList& list = registry.zrList;
    list.clear();
    const auto present = [&](int n) {
        return registry.zrPresent[static_cast<std::size_t>(n)] == 1;
    };
    bool any = false;
    for (int n = 0; n < 8; ++n) any = any || present(n);
    if (any) list.add("All", kAllZR);
    for (int n = 0; n < 8; ++n)
        if (present(n)) list.add(moduleEntryText(n), n);
    // "All" does not count as a group here, so the list opens on its first entry.
    selectFirstModule(list, 0);
}

}  // namespace korvel
