#include "status/module_lists.h"
#include "status/status_query.h"
#include "status/status_request.h"
#include "status/status_texts.h"
#include "status/table_slot.h"
#include "status/version.h"

namespace korvel {

namespace {

void resetRegistry(ModuleRegistry& registry) {
    for (int n = 0; n < 8; ++n) slot(registry.zrPresent, n) = -1;
    for (int n = 0; n < 32; ++n) slot(registry.kxTypes, n) = kKxNone;
}

// The second half of a KX44 answers at bus address n and must report itself as a KX44.
void querySecondHalf(Link& link, ModuleRegistry& registry, StandardStatusTexts& t, int n) {
    const std::optional<ModuleAnswer> answer = queryModule(link, n);
    if (!answer) return;
    const int half = n + 16;
    if (!moduleAnswered(answer->status)) {
        slot(t.kxStatus, half) = kNotFoundText;
    } else if (kxTypeOf(answer->status).code != kKx44) {
        slot(t.kxStatus, half) = "Error";
    } else {
        slot(registry.kxTypes, half) = kKx44;
        slot(t.kxStatus, half) = moduleStatusText(ModuleKind::KX, answer->status);
        slot(t.kxVersion, half) = moduleVersionText(answer->version);
    }
}

void queryKxModules(Link& link, ModuleRegistry& registry, StandardStatusTexts& t) {
    for (int n = 0; n < 16; ++n) {
        const std::optional<ModuleAnswer> answer = queryModule(link, kKxAddress + n);
        if (!answer) continue;
        slot(t.kxStatus, n) = moduleStatusText(ModuleKind::KX, answer->status);
        if (!moduleAnswered(answer->status)) continue;
        const KxTypeInfo type = kxTypeOf(answer->status);
        slot(registry.kxTypes, n) = type.code;
        slot(t.kxType, n) = type.text;
        slot(t.kxVersion, n) = moduleVersionText(answer->version);
        if (slot(t.kxType, n) == "KX44") querySecondHalf(link, registry, t, n);
    }
}

void queryZrModules(Link& link, ModuleRegistry& registry, StandardStatusTexts& t) {
    for (int n = 0; n < 8; ++n) {
        const std::optional<ModuleAnswer> answer = queryModule(link, kZrAddress + n);
        if (!answer) continue;
        slot(t.zrStatus, n) = moduleStatusText(ModuleKind::ZR, answer->status);
        if (!moduleAnswered(answer->status)) continue;
        slot(registry.zrPresent, n) = 1;
        slot(t.zrVersion, n) = moduleVersionText(answer->version);
    }
}

// QH modules are shown but not registered.
void queryQhModules(Link& link, StandardStatusTexts& t) {
    for (int n = 0; n < 16; ++n) {
        const std::optional<ModuleAnswer> answer = queryModule(link, kQhAddress + n);
        if (!answer) continue;
        slot(t.qhStatus, n) = moduleStatusText(ModuleKind::QH, answer->status);
        if (moduleAnswered(answer->status))
            slot(t.qhVersion, n) = moduleVersionText(answer->version);
    }
}

}  // namespace

StandardStatusTexts::StandardStatusTexts() {
    kxType.fill(kNotAskedText);
    kxStatus.fill(kNotAskedText);
    kxVersion.fill(kNotAskedText);
    zrStatus.fill(kNotAskedText);
    zrVersion.fill(kNotAskedText);
    qhStatus.fill(kNotAskedText);
    qhVersion.fill(kNotAskedText);
}

StandardStatusTexts queryStandardView(Link& link, ModuleRegistry& registry,
                                      const SystemFacts& facts) {
    StandardStatusTexts t;
    resetRegistry(registry);
    t.system = systemBoxes(facts);
    queryKxModules(link, registry, t);
    rebuildKxListStandard(registry);
    queryZrModules(link, registry, t);
    rebuildZrList(registry);
    queryQhModules(link, t);
    return t;
}

}  // namespace korvel
