#include "service/dispatch.h"

#include "link/bus_words.h"

namespace korvel {

namespace {

std::vector<int> kxModulesOfType(const KxTypeTable& types, int last, auto matches) {
    std::vector<int> modules;
    for (int m = 0; m <= last; ++m)
        if (matches(types[static_cast<std::size_t>(m)])) modules.push_back(m);
    return modules;
}

Frame moduleFrame(ModuleFamily family, int m, int n, CommandByte c, CommandByte v, CommandByte x) {
    if (family == ModuleFamily::KX)
        return Frame{kToModule, kxAddressByte(m), kxHalfByte(m, c.value()), v, x}.first(n + 2);
    return Frame{kToModule, zrAddressByte(m), c, v, x}.first(n + 2);
}

DispatchOutcome unanswered(DispatchOutcome outcome, int module, Exchange exchange) {
    outcome.result = DispatchOutcome::Unanswered;
    outcome.module = module;
    outcome.exchange = exchange.outcome;
    return outcome;
}

}  // namespace

std::vector<int> kxTargets(std::int32_t itemData, const KxTypeTable& types) {
    switch (itemData) {
        case kAllKXxx:
            return kxModulesOfType(types, 31, [](int t) { return t == kKxH || t == kKx44; });
        case kAllKXH:
            return kxModulesOfType(types, 15, [](int t) { return t == kKxH; });
        case kAllWobe:
            return kxModulesOfType(types, 15, [](int t) { return t == kKxWobe; });
        case kAllKX44:
            return kxModulesOfType(types, 31, [](int t) { return t == kKx44; });
        default:
            if (itemData >= 0 && itemData <= 31) return {itemData};
            return {};
    }
}

std::vector<int> zrTargets(std::int32_t itemData) {
    if (itemData == kAllZR) return {0, 1, 2, 3, 4, 5, 6, 7};
    if (itemData >= 0 && itemData <= 7) return {itemData};
    return {};
}

DispatchOutcome SendModuleCommand(Link& link, ModuleFamily family, const Targets& targets, int n,
                                  CommandByte c, CommandByte v, CommandByte x) {
    DispatchOutcome outcome;
    if (!link.portOpen()) {
        outcome.result = DispatchOutcome::NoPort;
        return outcome;
    }
    if (Exchange e = link.Transact(Frame{}); !e) return unanswered(outcome, -1, e);

    if (family == ModuleFamily::VG) {
        if (Exchange e = link.Transact(Frame{kToController, c, v, x, 0}.first(n)); !e)
            return unanswered(outcome, -1, e);
    } else if (!targets) {
        outcome.result = DispatchOutcome::NotRegistered;
    } else {
        for (int m : *targets) {
            if (Exchange e = link.Transact(moduleFrame(family, m, n, c, v, x)); !e)
                return unanswered(outcome, m, e);
            outcome.answered.push_back(m);
        }
    }
    if (Exchange e = link.Transact(Frame{}); !e) return unanswered(outcome, -1, e);
    return outcome;
}

}  // namespace korvel
