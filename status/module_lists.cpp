#include "status/module_lists.h"

#include "status/table_slot.h"

namespace korvel {

namespace {

void registerStandard(ModuleRegistry& registry, const std::vector<ModuleFact>& modules) {
    for (int n = 0; n < 32; ++n) slot(registry.kxTypes, n) = kKxNone;
    for (const ModuleFact& f : modules) {
        if (!f.present()) continue;
        if (f.family == ModuleFamily::ZR) slot(registry.zrPresent, f.number) = 1;
        if (f.family == ModuleFamily::KX && (f.half == 0 || f.typeCode == kKx44))
            slot(registry.kxTypes, f.kxIndex()) = f.typeCode;
    }
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
}

}  // namespace

void registerModules(ModuleRegistry& registry, const StatusFacts& facts) {
    for (int n = 0; n < 8; ++n) slot(registry.zrPresent, n) = -1;
    if (facts.classic)
        registerClassic(registry, facts.summary);
    else
        registerStandard(registry, facts.modules);
}

}  // namespace korvel
