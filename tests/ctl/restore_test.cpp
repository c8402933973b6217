// Backup and restore against the simulated system: a restore puts back what
// a backup saw, skips what is not there, and stops where a module falls silent.
#include "ctl/qt_line.h"
#include "sim/pty_server.h"
#include "tests/ctl/ctl_rig.h"

namespace korvel::testing {
namespace {

using sim::ModuleFamily;

// Permanent settings a user changed since the backup, on every kind of module.
void changeSettings(sim::SimSystem& s) {
    moduleOf(s, ModuleFamily::KX, 0).kxPermanent.value[1] = 3;             // hfi
    moduleOf(s, ModuleFamily::KX, 0).kxPermanent.value[7] = 5;             // switch-delay --on --bank 1
    moduleOf(s, ModuleFamily::KX, 0).kxPermanent.value[11] = 2;            // ms
    moduleOf(s, ModuleFamily::KX, 2).kxSecondPermanent.value[9] = 16;      // pwm of kx:2.1
    moduleOf(s, ModuleFamily::KX, 3).kxPermanent.value[14] = 33;           // loop-current --loop B
    moduleOf(s, ModuleFamily::ZR, 1).zrPermanent.defaultTime = 30;
    moduleOf(s, ModuleFamily::ZR, 6).zrPermanent.devices[63] = {99, 3};
}

struct RestoreTest : ::testing::Test {
    std::string file(const char* name) { return dir.filePath(name).toStdString(); }
    QTemporaryDir dir;
};

TEST_F(RestoreTest, BackupThenRestoreOverThePtyPutsBackEverySetting) {
    sim::PtyServer server(sim::demoSystem());
    ctl::QtLineAccess line;
    const std::vector<int> saved =
        server.withController([](sim::SimController& c) { return permanentSettings(c.system()); });
    const CtlRun backup = runCtl(line, {"-p", server.devicePath(), "backup", file("b.json")});
    ASSERT_EQ(backup.exit, ctl::kExitOk) << backup.err;
    EXPECT_EQ(backup.out, "7 modules saved in " + file("b.json") + "\n");

    server.withController([](sim::SimController& c) { changeSettings(c.system()); });
    const CtlRun restore = runCtl(line, {"-p", server.devicePath(), "restore", file("b.json")});
    EXPECT_EQ(restore.exit, ctl::kExitOk) << restore.err;
    EXPECT_EQ(restore.err, "");
    server.withController(
        [&](sim::SimController& c) { EXPECT_EQ(permanentSettings(c.system()), saved); });
}

TEST_F(RestoreTest, DryRunAndMapTouchOnlyWhatTheySay) {
    MemoryLine line(sim::demoSystem());
    ASSERT_EQ(runCtl(line, {"-p", "1", "backup", file("b.json")}).exit, ctl::kExitOk);
    changeSettings(line.controller.system());
    line.controller.clearRecords();

    const CtlRun dry = runCtl(line, {"-p", "1", "restore", file("b.json"), "--dry-run",
                                     "--only", "kx:2.1", "zr:6"});
    EXPECT_EQ(dry.exit, ctl::kExitOk);
    EXPECT_TRUE(line.controller.framesReceived().empty());
    EXPECT_NE(dry.out.find("kx:2.1 pwm = 4\n"), std::string::npos);
    EXPECT_NE(dry.out.find("kx:2.1 ms = 2 (read back, not written)\n"), std::string::npos);
    EXPECT_NE(dry.out.find("zr:6 device 63 power = 3\n"), std::string::npos);
    EXPECT_EQ(std::count(dry.out.begin(), dry.out.end(), '\n'), 9 + 1 + 2 * 64);

    // The ZR32 module 1 was replaced by module 6: module 1's settings go there.
    const CtlRun mapped =
        runCtl(line, {"-p", "1", "restore", file("b.json"), "--only", "zr:1", "--map", "zr:1=zr:6"});
    EXPECT_EQ(mapped.exit, ctl::kExitOk) << mapped.err;
    sim::SimSystem& s = line.controller.system();
    EXPECT_EQ(moduleOf(s, ModuleFamily::ZR, 6).zrPermanent.devices[63].time, 18);
    EXPECT_EQ(moduleOf(s, ModuleFamily::ZR, 1).zrPermanent.defaultTime, 30);
    EXPECT_EQ(moduleOf(s, ModuleFamily::KX, 0).kxPermanent.value[1], 3);
}

TEST_F(RestoreTest, AbsentModuleAndModuleOfAnotherTypeAreSkippedWithALineEach) {
    MemoryLine before(sim::demoSystem());
    ASSERT_EQ(runCtl(before, {"-p", "1", "backup", file("b.json")}).exit, ctl::kExitOk);

    sim::SimSystem now = sim::demoSystem();
    std::erase_if(now.modules, [](const sim::SimModule& m) { return m.family == ModuleFamily::KX && m.number == 5; });
    moduleOf(now, ModuleFamily::KX, 3).status = sim::kAnswered | sim::kTypeBitsKXH;
    changeSettings(now);
    MemoryLine line(now);
    const CtlRun r = runCtl(line, {"-p", "1", "restore", file("b.json")});
    EXPECT_EQ(r.exit, ctl::kExitFailed);
    EXPECT_EQ(r.err,
              "kx:3 (WOBE-s): is a KX-H now, the file holds a WOBE-s; skipped\n"
              "kx:5 (KX-H): not present now; skipped\n");
    EXPECT_EQ(moduleOf(line.controller.system(), ModuleFamily::KX, 0).kxPermanent.value[1], 7);
    EXPECT_EQ(moduleOf(line.controller.system(), ModuleFamily::KX, 3).kxPermanent.value[14], 33);
    EXPECT_EQ(moduleOf(line.controller.system(), ModuleFamily::ZR, 6).zrPermanent.devices[63].time,
              18);
}

TEST_F(RestoreTest, ModuleFallingSilentHalfwayStopsTheRestoreThere) {
    MemoryLine line(sim::demoSystem());
    ASSERT_EQ(runCtl(line, {"-p", "1", "backup", file("b.json")}).exit, ctl::kExitOk);
    changeSettings(line.controller.system());
    // kx:0 takes its third setting, then is gone from the bus.
    int sets = 0;
    sim::SimController& c = line.controller;
    c.faults().unanswered = [&](const sim::FrameData& d) {
        if (d.size() == 5 && d[0] == 0 && d[1] == 32 && ++sets == 3)
            std::erase_if(c.system().modules, [](const sim::SimModule& m) {
                return m.family == ModuleFamily::KX && m.number == 0;
            });
        return false;
    };
    const CtlRun r = runCtl(line, {"-p", "1", "restore", file("b.json")});
    EXPECT_EQ(r.exit, ctl::kExitFailed);
    EXPECT_EQ(r.err,
              "kx:0 (KX-H): no answer reading back alarm-delay --on; written: hfi, alarm-delay, "
              "alarm-delay --on\n");
    EXPECT_EQ(moduleOf(c.system(), ModuleFamily::KX, 2).kxSecondPermanent.value[9], 16);
    EXPECT_EQ(moduleOf(c.system(), ModuleFamily::ZR, 1).zrPermanent.defaultTime, 30);
}

}  // namespace
}  // namespace korvel::testing
