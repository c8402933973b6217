// Backup and restore against the simulated system: a restore puts back what
// a backup saw, skips what is not there, and stops where a module falls silent.
#include <QFile>

#include "ctl/qt_line.h"
#include "sim/pty_server.h"
#include "tests/ctl/ctl_rig.h"

namespace korvel::testing {
namespace {

using sim::ModuleFamily;

sim::SimModule& moduleOf(sim::SimSystem& s, ModuleFamily family, int number) {
    for (sim::SimModule& m : s.modules)
        if (m.family == family && m.number == number) return m;
    throw std::out_of_range("no such simulated module");
}

// The permanent settings a restore puts back, straight from the simulator.
std::vector<int> permanentSettings(const sim::SimSystem& system) {
    std::vector<int> v;
    for (const sim::SimModule& m : system.modules) {
        for (const sim::KxSettings* k : {&m.kxPermanent, &m.kxSecondPermanent})
            v.insert(v.end(), k->value.begin(), k->value.end());
        v.push_back(m.zrPermanent.defaultTime);
        for (const sim::ZrDevice& d : m.zrPermanent.devices) v.insert(v.end(), {d.time, d.power});
    }
    return v;
}

// Permanent settings a user changed since the backup, on every kind of module.
void changeSettings(sim::SimSystem& s) {
    moduleOf(s, ModuleFamily::KX, 0).kxPermanent.value[1] = 3;         // hfi
    moduleOf(s, ModuleFamily::KX, 0).kxPermanent.value[7] = 5;         // switch-delay --on --bank 1
    moduleOf(s, ModuleFamily::KX, 0).kxPermanent.value[11] = 2;        // ms
    moduleOf(s, ModuleFamily::KX, 2).kxSecondPermanent.value[9] = 16;  // pwm of kx:2.1
    moduleOf(s, ModuleFamily::KX, 3).kxPermanent.value[14] = 33;       // loop-current --loop B
    moduleOf(s, ModuleFamily::ZR, 1).zrPermanent.defaultTime = 30;
    moduleOf(s, ModuleFamily::ZR, 6).zrPermanent.devices[63] = {99, 3};
}

struct RestoreTest : ::testing::Test {
    CtlRun restore(MemoryLine& line, std::vector<std::string> options = {}) {
        options.insert(options.begin(), {"-p", "1", "restore", folder.path("b.json")});
        return runCtl(line, options);
    }
    BackupFolder folder;
};

TEST_F(RestoreTest, BackupThenRestoreOverThePtyPutsBackEverySetting) {
    sim::PtyServer server(sim::demoSystem());
    ctl::QtLineAccess line;
    const auto settings = [&] {
        return server.withController(
            [](sim::SimController& c) { return permanentSettings(c.system()); });
    };
    const std::vector<int> saved = settings();
    const std::string file = folder.path("pty.json");
    const CtlRun backup = runCtl(line, {"-p", server.devicePath(), "backup", file});
    ASSERT_EQ(backup.out, "7 modules saved in " + file + "\n") << backup.err;

    // Busy modules: every answer comes two frames late and must be waited for.
    server.withController([](sim::SimController& c) {
        changeSettings(c.system());
        c.faults().moduleAnswerDelay = 2;
    });
    const CtlRun restore = runCtl(line, {"-p", server.devicePath(), "restore", file});
    EXPECT_EQ(restore.exit, ctl::kExitOk) << restore.err;
    EXPECT_EQ(restore.err, "");
    EXPECT_EQ(settings(), saved);
}

TEST_F(RestoreTest, DryRunSendsNothingAndMapMovesOneModule) {
    MemoryLine line;
    changeSettings(line.controller.system());
    const CtlRun dry = restore(line, {"--dry-run", "--only", "kx:2.1", "zr:6"});
    EXPECT_EQ(dry.exit, ctl::kExitOk);
    EXPECT_TRUE(line.controller.framesReceived().empty());
    EXPECT_NE(dry.out.find("kx:2.1 ms = 2 (read back, not written)\n"), std::string::npos);
    EXPECT_NE(dry.out.find("zr:6 device 63 power = 3\n"), std::string::npos);

    // ZR32 module 1 was replaced by the one at 6: module 1's settings go there.
    EXPECT_EQ(restore(line, {"--only", "zr:1", "--map", "zr:1=zr:6"}).exit, ctl::kExitOk);
    sim::SimSystem& s = line.controller.system();
    EXPECT_EQ(moduleOf(s, ModuleFamily::ZR, 6).zrPermanent.devices[63].time, 18);
    EXPECT_EQ(moduleOf(s, ModuleFamily::ZR, 1).zrPermanent.defaultTime, 30);
    EXPECT_EQ(moduleOf(s, ModuleFamily::KX, 0).kxPermanent.value[1], 3);
}

TEST_F(RestoreTest, AbsentModuleAndModuleOfAnotherTypeAreSkippedAndDifferencesReported) {
    sim::SimSystem now = sim::demoSystem();
    std::erase_if(now.modules, [](const sim::SimModule& m) { return m.number == 5; });
    moduleOf(now, ModuleFamily::KX, 3).status = sim::kAnswered | sim::kTypeBitsKXH;
    changeSettings(now);
    moduleOf(now, ModuleFamily::KX, 2).kxSecondPermanent.value[11] = 1;  // ms: read, never set
    MemoryLine line(now);
    const CtlRun r = restore(line);
    EXPECT_EQ(r.exit, ctl::kExitFailed);
    EXPECT_EQ(r.err,
              "kx:2.1 (KX44): ms is 1, the file holds 2\n"
              "kx:3 (WOBE-s): is a KX-H now, the file holds a WOBE-s; skipped\n"
              "kx:5 (KX-H): not present now; skipped\n");
    sim::SimSystem& s = line.controller.system();
    EXPECT_EQ(moduleOf(s, ModuleFamily::KX, 0).kxPermanent.value[1], 7);
    EXPECT_EQ(moduleOf(s, ModuleFamily::KX, 3).kxPermanent.value[14], 33);
    EXPECT_EQ(moduleOf(s, ModuleFamily::ZR, 6).zrPermanent.devices[63].time, 18);
}

// A command against the demo system with its settings changed since the backup.
struct Outcome {
    std::vector<std::string> args;  // after -p 1; "@" is the backup of the demo system
    int exit;
    std::string out;  // a part of standard output
    std::string err;  // all of standard error
    // The module at this bus address takes its nth frame of that data count, then is gone.
    int silentAddress = 0, dataCount = 0, nth = 0;
};

TEST_F(RestoreTest, EachCommandEndsAsItShould) {
    const std::string half = folder.path("half.json");
    // clang-format off
    const Outcome table[] = {
        {{"kx", "get", "2.1", "pwm", "--permanent"}, 0, "16\n", ""},
        {{"kx", "get", "2.1", "switch-delay", "--bank", "1"}, 2, "",
         "korvelctl: switch-delay --bank 1 is not a setting of a KX44\n"},
        {{"kx", "set", "0", "alarm-delay", "--on", "100"}, 0, "kx:0 alarm-delay --on = 100 confirmed\n", ""},
        {{"kx", "set", "All_KX44", "ocd", "slow"}, 0, "kx:2.0 ocd = 2 confirmed\nkx:2.1 ocd = 2 confirmed\n", ""},
        {{"kx", "set", "0", "ms", "master"}, 0, "kx:0 ms = 1 confirmed\n", ""},
        {{"zr", "report", "1", "--permanent"}, 0, "ZR32#1 Permanent settings:\nDefault Timing =   500ms\n", ""},
        {{"zr", "report", "6"}, 0, "    63   300ms  Unlimited\n", ""},
        {{"status"}, 0, "kx:2.1  KX44    Active     1.01 G\n", ""},
        {{"status", "--json"}, 0, "\"system-version\": \"VG-U 1.02\"", ""},
        {{"restore", "@"}, 1, "", "kx:0 (KX-H): no answer reading back alarm-delay --on; "
         "written: hfi, alarm-delay, alarm-delay --on\n", 32, 5, 3},
        {{"backup", half}, 1, "", "zr:6 (ZR32): the active configuration did not come in whole\n"
         "no backup written\n", 70, 4, 20},
        {{"zr", "report", "6"}, 1, "", "zr:6: the report is incomplete\n", 70, 4, 20},
    };
    // clang-format on
    for (const Outcome& o : table) {
        MemoryLine line;
        sim::SimController& c = line.controller;
        changeSettings(c.system());
        int seen = 0;
        c.faults().unanswered = [&](const sim::FrameData& d) {
            if (o.nth > 0 && d.size() == static_cast<std::size_t>(o.dataCount) &&
                d[1] == o.silentAddress && ++seen == o.nth)
                std::erase_if(c.system().modules, [&](const sim::SimModule& m) {
                    return m.number + (m.family == ModuleFamily::KX ? 32 : 64) == o.silentAddress;
                });
            return false;
        };
        std::vector<std::string> args{"-p", "1"};
        for (const std::string& a : o.args) args.push_back(a == "@" ? folder.path("b.json") : a);
        const CtlRun r = runCtl(line, args);
        EXPECT_EQ(r.exit, o.exit) << o.args[0];
        EXPECT_NE(r.out.find(o.out), std::string::npos) << r.out;
        EXPECT_EQ(r.err, o.err);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(half)));
        // A restore stops at the silent module: kx:2.1 keeps the changed value.
        EXPECT_EQ(moduleOf(c.system(), ModuleFamily::KX, 2).kxSecondPermanent.value[9], 16);
    }
}

}  // namespace
}  // namespace korvel::testing
