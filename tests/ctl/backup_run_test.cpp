// The runs both front ends share: a verify reads and never writes, and a run
// asked to stop ends between exchanges, saying what it had written.
#include "backup/backup_run.h"

#include <gtest/gtest.h>

#include "sim/handlers.h"
#include "status/module_lists.h"
#include "tests/support/recorders.h"

namespace korvel::testing {
namespace {

using namespace korvel::backup;

struct BackupRunTest : ::testing::Test {
    BackupRunTest() {
        bench.openPort();
        facts = *RequestStatus(bench.link, {});
        registerModules(registry, facts);
        saved = *takeBackup(bench.link, registry, facts, 0).backup;
        std::string error;
        targets = *restoreTargets(saved, {}, {}, error);
    }
    sim::SimModule& module(sim::ModuleFamily family, int n) {
        return *sim::findModule(bench.controller.system(), family, n);
    }
    SimBench bench;
    StatusFacts facts;
    ModuleRegistry registry;
    Backup saved;
    std::vector<RestoreTarget> targets;
};

TEST_F(BackupRunTest, VerifyNamesEachDifferenceAndWritesNothing) {
    module(sim::ModuleFamily::KX, 0).kxPermanent.value[1] = 3;           // hfi
    module(sim::ModuleFamily::ZR, 6).zrPermanent.devices[63].power = 0;  // device 63 power
    const RunResult r = verify(bench.link, registry, targets, 0);

    std::vector<std::string> differences;
    for (const RunItem& i : r.items) {
        EXPECT_TRUE(i.kind == ItemKind::Equal || i.kind == ItemKind::Different) << i.setting;
        if (i.kind == ItemKind::Different)
            differences.push_back(moduleLabel(i.module, i.type) + " " + i.setting + " " +
                                  std::to_string(*i.fileValue) + "->" +
                                  std::to_string(*i.moduleValue));
    }
    const int savedHfi = saved.modules[0].permanent.kx.at("hfi");
    const int savedPower = saved.modules.back().permanent.zr->devices[63].power;
    EXPECT_EQ(differences,
              (std::vector<std::string>{
                  "kx:0 (KX-H) hfi " + std::to_string(savedHfi) + "->3",
                  "zr:6 (ZR32) device 63 power " + std::to_string(savedPower) + "->0"}));
    EXPECT_FALSE(r.whole());
    // Reads only: the changed values are still there.
    EXPECT_EQ(module(sim::ModuleFamily::KX, 0).kxPermanent.value[1], 3);
    EXPECT_EQ(module(sim::ModuleFamily::ZR, 6).zrPermanent.devices[63].power, 0);
}

TEST_F(BackupRunTest, AStopRequestEndsTheRunBetweenExchangesAndListsWhatWasWritten) {
    std::vector<std::size_t> done;
    RunControl control;
    control.progress = [&](const RunProgress& p) {
        EXPECT_LE(p.done, p.total);
        done.push_back(p.done);
    };
    control.stopRequest = [&]() -> std::string { return done.size() == 3 ? "cancelled" : ""; };
    const RunResult r = restore(bench.link, registry, targets, 0, control);

    EXPECT_EQ(r.stopped, "cancelled");
    EXPECT_EQ(done, (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_EQ(r.writtenSummary(), "kx:0 (KX-H) hfi, alarm-delay, alarm-delay --on");
    EXPECT_TRUE(r.notWrittenSummary().starts_with("kx:0 (KX-H) (the rest); kx:2.0 (KX44) "))
        << r.notWrittenSummary();
    EXPECT_FALSE(r.whole());
}

// A module whose status answer was lost may hold settings: no backup, and it is named.
TEST_F(BackupRunTest, AModuleWhoseStatusAnswerWasLostLeavesNoBackup) {
    const auto kx5 =
        std::find_if(facts.modules.begin(), facts.modules.end(), [](const ModuleFact& f) {
            return f.family == ModuleFamily::KX && f.number == 5 && f.half == 0;
        });
    kx5->answered = false;
    const BackupRun run = takeBackup(bench.link, registry, facts, 0);
    EXPECT_FALSE(run.backup);
    ASSERT_FALSE(run.result.items.empty());
    EXPECT_EQ(run.result.items[0].kind, ItemKind::NotAnswered);
    EXPECT_EQ(moduleLabel(run.result.items[0].module, "") + ": " + run.result.items[0].reason,
              "kx:5: did not answer the status request");
}

}  // namespace
}  // namespace korvel::testing
