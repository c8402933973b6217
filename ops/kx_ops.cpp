#include "ops/kx_ops.h"

#include "kx/commands.h"
#include "ops/module_reads.h"
#include "ops/system_ops.h"
#include "service/dispatch.h"

namespace korvel::ops {

namespace {

bool registered(const ModuleRegistry& registry, int item) {
    return registry.kxTypes[static_cast<std::size_t>(item)] != kKxNone;
}

OpFailure notRegistered(const ModuleRegistry& registry, std::int32_t target) {
    return {
        OpError::NotRegistered, target >= 0 ? kxNameAt(registry, target) : std::string(), {}, {}};
}

}  // namespace

ModuleName kxModule(int item) {
    return {ModuleFamily::KX, item};
}

ModuleType kxTypeAt(const ModuleRegistry& registry, int item) {
    return kxModuleType(registry.kxTypes[static_cast<std::size_t>(item)])
        .value_or(ModuleType::Unknown);
}

std::string kxNameAt(const ModuleRegistry& registry, int item) {
    return moduleNameText(kxModule(item), kxTypeAt(registry, item) == ModuleType::Kx44);
}

KxOfferCheck kxOfferCheck(const KxSettingName& row, const KxSelection& selection, bool write) {
    if (!offeredOn(row, selection)) return KxOfferCheck::NotOffered;
    if (write && !settableOn(row, selection)) return KxOfferCheck::ReadOnly;
    return KxOfferCheck::Offered;
}

KxGetResult kxGet(Bus& bus, int module, const KxSettingName* one, bool permanent) {
    const ModuleRegistry& registry = bus.registry();
    KxGetResult r;
    r.module = kxModule(module);
    if (!registered(registry, module)) {
        r.failure = notRegistered(registry, module);
        return r;
    }
    r.type = kxTypeAt(registry, module);
    const KxSelection selection = kxSelection(module, registry.kxTypes);
    if (one) r.offer = kxOfferCheck(*one, selection, false);
    if (r.offer != KxOfferCheck::Offered) {
        r.failure = OpFailure{OpError::Refused, kxNameAt(registry, module), one->name, {}};
        return r;
    }
    for (const KxSettingName& row : kxSettingRows()) {
        if (one ? &row != one : !offeredOn(row, selection)) continue;
        const std::optional<int> v =
            readKxSetting(bus.link(), registry, module, row, permanent, bus.retries);
        if (!bus.link().portOpen()) {
            r.failure = exchangeFailure(bus);
            return r;
        }
        r.readings.push_back({&row, v});
    }
    return r;
}

KxSetResult kxSet(Bus& bus, std::int32_t target, const KxSettingName& row, int value,
                  bool permanent) {
    const ModuleRegistry& registry = bus.registry();
    KxSetResult r;
    r.selection = kxSelection(target, registry.kxTypes);
    const std::vector<int> targets = kxTargets(target, registry.kxTypes);
    if (targets.empty() || (target >= 0 && !registered(registry, target))) {
        r.failure = notRegistered(registry, target);
        return r;
    }
    // What the selection offers is decided from the registered type; an
    // unknown module offers every setting.
    r.offer = kxOfferCheck(row, r.selection, true);
    if (r.offer != KxOfferCheck::Offered) {
        r.failure = OpFailure{OpError::Refused, {}, row.name, {}};
        return r;
    }
    const std::optional<int> confirmed =
        writeKxSetting(bus.link(), registry, target, row, value, permanent, bus.retries);
    if (!bus.link().portOpen()) {
        r.failure = exchangeFailure(bus);
        return r;
    }
    // A group's answers are not decoded (as on the page): each module is read
    // back. A write is never sent twice: a missing confirmation is settled by a read.
    for (int m : targets) {
        const std::optional<int> v =
            target >= 0 && confirmed
                ? confirmed
                : readKxSetting(bus.link(), registry, m, row, permanent, bus.retries);
        r.modules.push_back({kxModule(m), v, v == value});
        if (v != value && !r.failure)
            r.failure = OpFailure{OpError::NotConfirmed, kxNameAt(registry, m), row.name, {}};
    }
    if (target < 0 && bus.facts()) {
        r.lost = lostModules(*bus.facts(), ModuleFamily::KX);
        if (!r.lost.empty() && !r.failure)
            r.failure = OpFailure{OpError::NotRegistered, {}, row.name, {}};
    }
    return r;
}

KxEraseResult kxErase(Bus& bus, std::int32_t target) {
    const ModuleRegistry& registry = bus.registry();
    KxEraseResult r;
    const std::vector<int> targets = kxTargets(target, registry.kxTypes);
    if (targets.empty() || (target >= 0 && !registered(registry, target))) {
        r.failure = notRegistered(registry, target);
        return r;
    }
    const DispatchOutcome outcome = eraseKxSettings(bus.link(), targets);
    for (int m : outcome.answered) r.erased.push_back(kxModule(m));
    if (!outcome.done()) {
        r.failure = exchangeFailure(bus);
        if (outcome.module >= 0) r.failure->module = kxNameAt(registry, outcome.module);
    }
    return r;
}

MsCheckResult kxMasterSlaveCheck(Bus& bus) {
    MsCheckResult r;
    r.check = checkMasterSlave(bus.link(), bus.registry().kxTypes);
    for (const MasterSlaveAnswer& a : r.check.answers) r.modules.push_back(kxModule(a.module));
    switch (r.check.outcome) {
        case MasterSlaveOutcome::Abandoned:
            r.failure = exchangeFailure(bus);
            break;
        case MasterSlaveOutcome::ModuleSilent:
            r.failure = OpFailure{
                OpError::NoAnswer, kxNameAt(bus.registry(), r.check.silentModule), "ms", {}};
            break;
        case MasterSlaveOutcome::Judged:
            if (r.check.masterCount != 1) r.failure = OpFailure{OpError::Verdict, {}, {}, {}};
            break;
    }
    return r;
}

}  // namespace korvel::ops
