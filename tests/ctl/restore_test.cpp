// Backup and restore against the simulated system: a restore puts back what
// a backup saw, skips what is not there, and stops when asked to.
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <csignal>

#include "ctl/stop_signal.h"
#include "sim/handlers.h"
#include "tests/ctl/ctl_rig.h"

namespace korvel::testing {
namespace {

using sim::ModuleFamily;

sim::SimModule& moduleOf(sim::SimSystem& s, ModuleFamily family, int number) {
    return *sim::findModule(s, family, number);
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

struct RestoreTest : ::testing::Test {
    CtlRun restore(MemoryLine& line, std::vector<std::string> options = {}) {
        options.insert(options.begin(), {"-p", "1", "restore", folder.path("b.json")});
        return runCtl(line, options);
    }
    BackupFolder folder;
};

// Values the page cannot show are saved as reported, and busy modules, every
// answer two frames late, are waited for. The restore refuses those values,
// dry run or not, before anything is sent; told to, it puts back every setting.
TEST_F(RestoreTest, BackupThenRestorePutsBackEverySetting) {
    sim::SimSystem odd = sim::demoSystem();
    moduleOf(odd, ModuleFamily::KX, 0).kxPermanent.value[9] = 0;   // pwm after an erase
    moduleOf(odd, ModuleFamily::KX, 3).kxPermanent.value[13] = 0;  // loop-current of a fresh WOBE-s
    moduleOf(odd, ModuleFamily::ZR, 6).zrPermanent.devices[5].power = 9;
    moduleOf(odd, ModuleFamily::KX, 2).kxSecondPermanent.value[11] = 9;  // ms: read back only
    MemoryLine line(odd);
    const std::string file = folder.path("odd.json");
    const CtlRun backup = runCtl(line, {"-p", "1", "backup", file});
    EXPECT_EQ(backup.out, "7 modules saved in " + file + "\n");
    EXPECT_NE(backup.err.find("kx:0 (KX-H): pwm (permanent) is 0, a value the page cannot show"),
              std::string::npos)
        << backup.err;
    changeSettings(line.controller.system());
    const std::string refused =
        "korvelctl: kx:0 (KX-H): pwm = 0 in the file, the page sends 2, 4, 8, 16, 32\n"
        "korvelctl: kx:3 (WOBE-s): loop-current = 0 in the file, the page sends 20..70\n"
        "korvelctl: zr:6 (ZR32): device 5 power = 9 in the file, the page sends 0..3\n"
        "korvelctl: nothing written: --allow-any-value writes values the page could not send\n";
    for (const bool dryRun : {true, false}) {
        const std::size_t frames = line.controller.framesReceived().size();
        // The refused items as JSON go to the schema check.
        const CtlRun r =
            runCtl(line, {"-p", "1", "restore", file, dryRun ? "--dry-run" : "--json"});
        EXPECT_EQ(r.exit, ctl::kExitUsage);
        EXPECT_EQ(r.err, refused);
        EXPECT_EQ(line.controller.framesReceived().size(), frames);
        EXPECT_EQ(r.out.find("\nkx:0 pwm = 0 (refused: the page sends 2, 4, 8, 16, 32)\n") !=
                      std::string::npos,
                  dryRun)
            << r.out;
    }
    line.controller.faults().moduleAnswerDelay = 2;
    const CtlRun restore = runCtl(line, {"-p", "1", "restore", file, "--allow-any-value"});
    EXPECT_EQ(restore.exit, ctl::kExitOk) << restore.err;
    EXPECT_EQ(restore.err, "");
    EXPECT_EQ(permanentSettings(line.controller.system()), permanentSettings(odd));
}

TEST_F(RestoreTest, DryRunSendsNothingAndAKx44WithoutItsHalfIsBoth) {
    MemoryLine line;
    changeSettings(line.controller.system());
    const std::vector<int> before = permanentSettings(line.controller.system());
    const CtlRun dry = restore(line, {"--dry-run", "--only", "kx:2.1", "zr:6"});
    EXPECT_EQ(dry.exit, ctl::kExitOk);
    EXPECT_EQ(permanentSettings(line.controller.system()), before);
    EXPECT_NE(dry.out.find("kx:2.1 ms = 2 (read back, not written)\n"), std::string::npos);
    EXPECT_NE(dry.out.find("zr:6 device 63 power = 3\n"), std::string::npos);
    // A KX44 named without its half is both halves.
    const CtlRun both = restore(line, {"--dry-run", "--only", "kx:2"});
    EXPECT_NE(both.out.find("kx:2.0 hfi = "), std::string::npos);
    EXPECT_NE(both.out.find("kx:2.1 hfi = "), std::string::npos);
}

// The file's own entry for a module that receives another's settings by --map
// is not written over them.
TEST_F(RestoreTest, AMapTargetIsWrittenFromItsSourceOnly) {
    sim::SimSystem differing = sim::demoSystem();
    moduleOf(differing, ModuleFamily::ZR, 6).zrPermanent.defaultTime = 40;
    MemoryLine before(differing);
    ASSERT_EQ(runCtl(before, {"-p", "1", "backup", folder.path("d.json")}).exit, ctl::kExitOk);
    MemoryLine line(differing);
    const CtlRun r =
        runCtl(line, {"-p", "1", "restore", folder.path("d.json"), "--map", "zr:1=zr:6"});
    EXPECT_EQ(r.exit, ctl::kExitOk) << r.err;
    EXPECT_EQ(moduleOf(line.controller.system(), ModuleFamily::ZR, 6).zrPermanent.defaultTime,
              moduleOf(differing, ModuleFamily::ZR, 1).zrPermanent.defaultTime);
}

TEST_F(RestoreTest, AbsentModuleAndModuleOfAnotherTypeAreSkippedAndDifferencesReported) {
    sim::SimSystem now = sim::demoSystem();
    std::erase_if(now.modules, [](const sim::SimModule& m) { return m.number == 5; });
    moduleOf(now, ModuleFamily::KX, 3).status = sim::kAnswered | sim::kTypeBitsKXH;
    changeSettings(now);
    moduleOf(now, ModuleFamily::KX, 2).kxSecondPermanent.value[11] = 1;  // ms: read, never set
    MemoryLine line(now);
    // The dry run asks the system and says what the run would skip, with its exit status.
    const CtlRun dry = restore(line, {"--dry-run"});
    EXPECT_EQ(dry.exit, ctl::kExitFailed);
    EXPECT_NE(dry.err.find("kx:3 (WOBE-s): is a KX-H now, the file holds a WOBE-s; skipped\n"
                           "korvelctl: kx:5 (KX-H): not present now; skipped\n"),
              std::string::npos)
        << dry.err;
    const CtlRun r = restore(line);
    EXPECT_EQ(r.exit, ctl::kExitFailed);
    EXPECT_EQ(
        r.err,
        "korvelctl: kx:2.1 (KX44): ms is 1, the file holds 2\n"
        "korvelctl: kx:3 (WOBE-s): is a KX-H now, the file holds a WOBE-s; skipped\n"
        "korvelctl: kx:5 (KX-H): not present now; skipped\n"
        "korvelctl: kx:0 (KX-H): every setting written and read back\n"
        "korvelctl: kx:2.0 (KX44): every setting written and read back\n"
        "korvelctl: kx:2.1 (KX44): every setting written and read back\n"
        "korvelctl: kx:3 (WOBE-s): nothing written\n"
        "korvelctl: kx:5 (KX-H): nothing written\n"
        "korvelctl: zr:1 (ZR32): every setting written and read back\n"
        "korvelctl: zr:6 (ZR32): every setting written and read back\n");
    sim::SimSystem& s = line.controller.system();
    EXPECT_EQ(moduleOf(s, ModuleFamily::KX, 0).kxPermanent.value[1], 7);
    EXPECT_EQ(moduleOf(s, ModuleFamily::KX, 3).kxPermanent.value[14], 33);
    EXPECT_EQ(moduleOf(s, ModuleFamily::ZR, 6).zrPermanent.devices[63].time, 18);
}

// Ctrl+C halfway through a restore: the exchange in hand ends, then the
// restore says what it wrote and what not, and exits 128 + SIGINT.
TEST_F(RestoreTest, ASignalStopsARestoreBetweenExchanges) {
    MemoryLine line;
    std::size_t frames = 0;
    line.controller.faults().unanswered = [&](const sim::FrameData&) {
        if (++frames == 80) ctl::setStopSignal(SIGINT);
        return false;
    };
    const CtlRun r = restore(line);
    ctl::setStopSignal(0);
    EXPECT_EQ(r.exit, 128 + SIGINT);
    EXPECT_TRUE(r.err.starts_with("korvelctl: restore stopped: interrupted\n"
                                  "korvelctl: kx:0 (KX-H): written and read back: hfi, "))
        << r.err;
    EXPECT_NE(r.err.find("; the rest not written\nkorvelctl: kx:2.0 (KX44): nothing written\n"),
              std::string::npos)
        << r.err;
}

// The message log's words reach a terminal: every exchange with -v, and the
// messages the controller held while `monitor` polls, until Ctrl+C (exit 130).
TEST_F(RestoreTest, VerboseAndMonitorSpeakTheLogsWords) {
    MemoryLine line;
    line.controller.faults().moduleAnswerDelay = 3;  // the report comes a few polls later
    const CtlRun verbose = runCtl(line, {"-p", "1", "-v", "kx", "get", "0", "hfi"});
    line.controller.faults().moduleAnswerDelay = 0;
    EXPECT_EQ(verbose.out, "7\n");
    EXPECT_NE(verbose.err.find("<< 0D 00 20 0A 01 07 41 "), std::string::npos) << verbose.err;
    EXPECT_NE(verbose.err.find("answer · KX 0 HFI-level = 7"), std::string::npos);

    line.controller.queueMessage({0, 34, 10, 1, 12});
    int polls = 0;
    line.controller.faults().unanswered = [&](const sim::FrameData&) {
        if (++polls == 3) ctl::setStopSignal(SIGINT);
        return false;
    };
    const CtlRun monitor = runCtl(line, {"-p", "1", "monitor"});
    ctl::setStopSignal(0);
    EXPECT_EQ(monitor.exit, 128 + SIGINT);
    EXPECT_NE(monitor.out.find("answer · KX 2 HFI-level = 12"), std::string::npos) << monitor.out;
    EXPECT_EQ(std::count(monitor.out.begin(), monitor.out.end(), '\n'), 1) << monitor.out;
}

// A disk that fills up halfway through the new file: the older backup stays
// byte for byte, no temporary file is left, and the run says it failed.
TEST_F(RestoreTest, ABackupThatCannotBeWrittenWholeLeavesTheOlderFile) {
    QFile older(QString::fromStdString(folder.path("b.json")));
    ASSERT_TRUE(older.open(QIODevice::ReadOnly));
    const QByteArray before = older.readAll();
    older.close();
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = static_cast<rlim_t>(before.size() / 2);
    setrlimit(RLIMIT_FSIZE, &small);
    MemoryLine line;
    changeSettings(line.controller.system());  // the new file differs early on
    const CtlRun r = runCtl(line, {"-p", "1", "backup", folder.path("b.json")});
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(r.exit, ctl::kExitFailed);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("cannot write " + folder.path("b.json")), std::string::npos) << r.err;
    ASSERT_TRUE(older.open(QIODevice::ReadOnly));
    EXPECT_EQ(older.readAll(), before);
    EXPECT_EQ(QDir(folder.dir.path()).entryList(QDir::Files), QStringList{"b.json"});
}

}  // namespace
}  // namespace korvel::testing
