// The backup engine's own guard, which both front ends' checks stand in front
// of: a module whose status answer was lost may hold settings, so no backup.
#include "ops/system_runs.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace korvel::testing
