#include "ops/zr_ops.h"

#include <set>

#include "ops/system_ops.h"
#include "zr/zr_commands.h"

namespace korvel::ops {

namespace {

// The report's inputs for one module.
class OneModule final : public ZrReportInputs {
  public:
    OneModule(int module, bool permanent) : module_(module), permanent_(permanent) {}
    std::optional<std::int32_t> selectedModule() override { return module_; }
    bool permanent() override { return permanent_; }

  private:
    int module_;
    bool permanent_;
};

ModuleName zrModule(int n) {
    return {ModuleFamily::ZR, n};
}

OpFailure notRegistered(std::int32_t target) {
    return {OpError::NotRegistered, target >= 0 ? moduleNameText(zrModule(target)) : "", {}, {}};
}

}  // namespace

ZrReportResult zrReport(Bus& bus, int module, bool permanent) {
    using Kind = ZrReportItem::Kind;
    ZrReportResult r;
    if (bus.registry().zrPresent[static_cast<std::size_t>(module)] != 1) {
        r.failure = notRegistered(module);
        return r;
    }
    for (int tries = 0; tries <= bus.retries && bus.link().portOpen() && !r.whole; ++tries) {
        const Link::QuickLoss quick(bus.link(), tries < bus.retries);
        r.items.clear();
        // Whole when the default time and each device's time and power came.
        std::set<std::pair<Kind, int>> seen;
        OneModule inputs(module, permanent);
        readZrReport(bus.link(), inputs, [&](const ZrReportItem& item) {
            r.items.push_back(item);
            if (item.kind != Kind::Header && item.kind != Kind::Columns && item.device < kZrDevices)
                seen.insert({item.kind, item.kind == Kind::DefaultTime ? 0 : item.device});
        });
        r.whole = seen.size() == 1 + 2 * kZrDevices;
    }
    if (!r.whole) {
        r.failure = exchangeFailure(bus);
        r.failure->module = moduleNameText(zrModule(module));
    }
    return r;
}

std::vector<int> zrTargetModules(const ModuleRegistry& registry, std::int32_t target) {
    std::vector<int> modules;
    for (int n = 0; n < 8; ++n)
        if ((target < 0 || target == n) && registry.zrPresent[static_cast<std::size_t>(n)] == 1)
            modules.push_back(n);
    return modules;
}

ZrSetResult zrSet(Bus& bus, std::int32_t target, const ZrWriteStep& step, bool permanent) {
    ZrSetResult r;
    const std::vector<int> modules = zrTargetModules(bus.registry(), target);
    if (modules.empty()) {
        r.failure = notRegistered(target);
        return r;
    }
    // Sent once; a lost acknowledgement is for the read-back to settle.
    writeZrStep(bus.link(), modules, step, permanent, bus.retries);
    for (int m : modules) {
        if (!bus.link().portOpen()) {
            r.failure = exchangeFailure(bus);
            return r;
        }
        const std::optional<int> back = readZrValue(bus.link(), m, permanent, step, bus.retries);
        r.modules.push_back({zrModule(m), back, back == step.value});
        if (back != step.value && !r.failure)
            r.failure = OpFailure{back ? OpError::NotConfirmed : OpError::NoAnswer,
                                  moduleNameText(zrModule(m)),
                                  step.name,
                                  {}};
    }
    return r;
}

ZrEraseResult zrErase(Bus& bus, std::int32_t target) {
    ZrEraseResult r;
    const std::vector<int> modules = zrTargetModules(bus.registry(), target);
    if (modules.empty()) {
        r.failure = notRegistered(target);
        return r;
    }
    const DispatchOutcome outcome = eraseZrSettings(bus.link(), modules);
    for (int m : outcome.answered) r.erased.push_back(zrModule(m));
    if (!outcome.done()) {
        r.failure = exchangeFailure(bus);
        if (outcome.module >= 0) r.failure->module = moduleNameText(zrModule(outcome.module));
    }
    return r;
}

}  // namespace korvel::ops
