// The runs' own guards, which both front ends' checks stand in front of: a
// module whose status answer was lost may hold settings, so no backup; a value
// of the file the page could not send is not written unless the user says so.
#include "ops/system_runs.h"

#include <gtest/gtest.h>

#include "sim/handlers.h"
#include "status/module_lists.h"
#include "status/status_request.h"
#include "tests/support/recorders.h"

namespace korvel::testing {
namespace {

using namespace korvel::ops;

// The demo system with its modules registered.
struct Runs : ::testing::Test, OpenBench {
    Runs() { registerModules(registry, facts); }
    StatusFacts facts = *RequestStatus(link, {});
    ModuleRegistry registry;
    Bus bus{link, registry};
};

TEST_F(Runs, AModuleWhoseStatusAnswerWasLostLeavesNoBackup) {
    for (ModuleFact& f : facts.modules)
        if (f.family == ModuleFamily::KX && f.number == 5) f.answered = false;
    bus.retries = 0;
    const BackupRun run = takeBackup(bus, facts, "");
    EXPECT_FALSE(run.backup);
    ASSERT_FALSE(run.result.items.empty());
    EXPECT_EQ(run.result.items[0].kind, ItemKind::NotAnswered);
    EXPECT_EQ(moduleLabel(run.result.items[0].module, ModuleType::Unknown) + ": " +
                  run.result.items[0].reason,
              "kx:5: did not answer the status request");
}

// A value of the file the page could not send refuses the restore before
// anything is sent, unless it is told to write any value.
TEST_F(Runs, AValueThePageCouldNotSendIsWrittenOnlyWhenAllowed) {
    Backup b = *takeBackup(bus, facts, "").backup;
    b.modules[0].permanent.kx.at("hfi") = 99;
    std::string error;
    const std::vector<RestoreTarget> targets = *restoreTargets(b, {}, {}, error);
    const std::size_t mark = frames().size();
    EXPECT_EQ(restore(bus, targets).items.at(0).kind, ItemKind::Refused);
    EXPECT_EQ(frames().size(), mark);
    EXPECT_TRUE(restore(bus, targets, FileValues::AnyValue).whole());
    EXPECT_EQ(sim::findModule(controller.system(), sim::ModuleFamily::KX, 0)->kxPermanent.value[1],
              99);
}

}  // namespace
}  // namespace korvel::testing
