// The runs' own guards, which both front ends' checks stand in front of: a
// module whose status answer was lost may hold settings, so no backup; a value
// of the file the page could not send is not written unless the user says so.
#include "ops/system_runs.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ops/module_reads.h"
#include "sim/handlers.h"
#include "status/module_lists.h"
#include "status/status_request.h"
#include "tests/support/recorders.h"

namespace korvel::testing {
namespace {

using namespace korvel::ops;

TEST(BackupRun, AModuleWhoseStatusAnswerWasLostLeavesNoBackup) {
    OpenBench bench;
    StatusFacts facts = *RequestStatus(bench.link, {});
    ModuleRegistry registry;
    registerModules(registry, facts);
    for (ModuleFact& f : facts.modules)
        if (f.family == ModuleFamily::KX && f.number == 5) f.answered = false;
    Bus bus(bench.link, registry);
    bus.retries = 0;
    const BackupRun run = takeBackup(bus, facts, "");
    EXPECT_FALSE(run.backup);
    ASSERT_FALSE(run.result.items.empty());
    EXPECT_EQ(run.result.items[0].kind, ItemKind::NotAnswered);
    EXPECT_EQ(moduleLabel(run.result.items[0].module, ModuleType::Unknown) + ": " +
                  run.result.items[0].reason,
              "kx:5: did not answer the status request");
}

// A backup of the demo system, its modules registered.
struct Saved : OpenBench {
    Saved() {
        const StatusFacts facts = *RequestStatus(link, {});
        registerModules(registry, facts);
        backup = *takeBackup(bus, facts, "").backup;
    }
    // The file with one permanent setting of module `index` (in the file's order) set to `value`.
    Backup with(std::size_t index, const std::string& setting, int value) const {
        Backup b = backup;
        ModuleSettings& m = b.modules[index].permanent;
        if (!m.zr) {
            m.kx.at(setting) = value;
            return b;
        }
        for (const ZrWriteStep& step : zrWriteSteps(*m.zr))
            if (step.name == setting && step.device < 0) m.zr->defaultTime = value;
            else if (step.name == setting)
                (step.power ? m.zr->devices[std::size_t(step.device)].power
                            : m.zr->devices[std::size_t(step.device)].time) = value;
        return b;
    }
    std::vector<RestoreTarget> targets(const Backup& b) const {
        std::string error;
        return *restoreTargets(b, {}, {}, error);
    }
    ModuleRegistry registry;
    Bus bus{link, registry};
    Backup backup;
};

constexpr std::size_t kKx0 = 0, kKx2Half1 = 2, kZr1 = 5;  // in the demo file's order

TEST(RestorePlan, MarksEachValueThePageCouldNotSend) {
    Saved s;
    const std::tuple<std::size_t, std::string, int, std::string> rows[] = {
        // module, setting, value in the file, what the page sends ("": the value is sent)
        {kKx0, "hfi", 99, "0..15"},
        {kKx0, "hfi", 15, ""},
        {kKx0, "pwm", 3, "2, 4, 8, 16, 32"},
        {kKx0, "pwm", 32, ""},
        {kKx0, "ocd", 3, "0 fast, 1 moderate, 2 slow"},
        {kKx2Half1, "ms", 9, ""},  // a KX44's mode is read back, never written
        {kZr1, "device 5 power", 4, "0..3"},
        {kZr1, "device 5 power", 3, ""},
        {kZr1, "default-time", 128, "0..127"},
        {kZr1, "device 63 time", 127, ""},
    };
    for (const auto& [index, setting, value, allowed] : rows) {
        SCOPED_TRACE(setting + " = " + std::to_string(value));
        const Backup b = s.with(index, setting, value);
        for (FileValues values : {FileValues::PageRange, FileValues::AnyValue}) {
            const std::vector<RunItem> plan = restorePlan(s.targets(b), values);
            const auto marked = std::ranges::count_if(plan, [](const RunItem& i) {
                return !i.allowed.empty();
            });
            EXPECT_EQ(marked, allowed.empty() ? 0 : 1);
            const auto it = std::ranges::find_if(plan, [&](const RunItem& i) {
                return i.module == b.modules[index].name && i.setting == setting;
            });
            ASSERT_NE(it, plan.end());
            EXPECT_EQ(it->fileValue, value);
            EXPECT_EQ(it->allowed, allowed);
            const bool refused = !allowed.empty() && values == FileValues::PageRange;
            EXPECT_EQ(it->kind, refused ? ItemKind::Refused : ItemKind::Planned);
        }
    }
}

// Refused, the restore sends nothing at all; told to, it writes the value.
TEST(RestorePlan, AValueThePageCouldNotSendIsWrittenOnlyWhenAllowed) {
    Saved s;
    const Backup b = s.with(kKx0, "hfi", 99);
    const std::size_t mark = s.frames().size();
    const RunResult refused = restore(s.bus, s.targets(b));
    EXPECT_EQ(s.frames().size(), mark);
    EXPECT_FALSE(refused.whole());
    ASSERT_EQ(refused.items.size(), 1u);
    EXPECT_EQ(refused.items[0].kind, ItemKind::Refused);
    EXPECT_EQ(restore(s.bus, s.targets(b), FileValues::AnyValue).whole(), true);
    EXPECT_EQ(sim::findModule(s.controller.system(), sim::ModuleFamily::KX, 0)->kxPermanent.value[1],
              99);
}

}  // namespace
}  // namespace korvel::testing
