// Backup and restore against the simulated system: a restore puts back what
// a backup saw, skips what is not there, and stops where a module falls silent.
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

// Values the page cannot show are saved as reported, and busy modules, every
// answer two frames late, are waited for: the restore puts back every setting.
TEST_F(RestoreTest, BackupThenRestorePutsBackEverySetting) {
    sim::SimSystem odd = sim::demoSystem();
    moduleOf(odd, ModuleFamily::KX, 0).kxPermanent.value[9] = 0;   // pwm after an erase
    moduleOf(odd, ModuleFamily::KX, 3).kxPermanent.value[13] = 0;  // loop-current of a fresh WOBE-s
    MemoryLine line(odd);
    const std::string file = folder.path("odd.json");
    const CtlRun backup = runCtl(line, {"-p", "1", "backup", file});
    EXPECT_EQ(backup.out, "7 modules saved in " + file + "\n");
    EXPECT_NE(backup.err.find("kx:0 (KX-H): pwm (permanent) is 0, a value the page cannot show"),
              std::string::npos)
        << backup.err;
    changeSettings(line.controller.system());
    line.controller.faults().moduleAnswerDelay = 2;
    const CtlRun restore = runCtl(line, {"-p", "1", "restore", file});
    EXPECT_EQ(restore.exit, ctl::kExitOk) << restore.err;
    EXPECT_EQ(restore.err, "");
    EXPECT_EQ(permanentSettings(line.controller.system()), permanentSettings(odd));
}

TEST_F(RestoreTest, DryRunSendsNothingAndMapMovesOneModule) {
    MemoryLine line;
    changeSettings(line.controller.system());
    const CtlRun dry = restore(line, {"--dry-run", "--only", "kx:2.1", "zr:6"});
    EXPECT_EQ(dry.exit, ctl::kExitOk);
    EXPECT_TRUE(line.controller.framesReceived().empty());
    EXPECT_NE(dry.out.find("kx:2.1 ms = 2 (read back, not written)\n"), std::string::npos);
    EXPECT_NE(dry.out.find("zr:6 device 63 power = 3\n"), std::string::npos);
    // A KX44 named without its half is both halves.
    const CtlRun both = restore(line, {"--dry-run", "--only", "kx:2"});
    EXPECT_NE(both.out.find("kx:2.0 hfi = "), std::string::npos);
    EXPECT_NE(both.out.find("kx:2.1 hfi = "), std::string::npos);

    // ZR32 module 1 was replaced by the one at 6: module 1's settings go there.
    EXPECT_EQ(restore(line, {"--only", "zr:1", "--map", "zr:1=zr:6"}).exit, ctl::kExitOk);
    sim::SimSystem& s = line.controller.system();
    EXPECT_EQ(moduleOf(s, ModuleFamily::ZR, 6).zrPermanent.devices[63].time, 18);
    EXPECT_EQ(moduleOf(s, ModuleFamily::ZR, 1).zrPermanent.defaultTime, 30);
    EXPECT_EQ(moduleOf(s, ModuleFamily::KX, 0).kxPermanent.value[1], 3);
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
    const CtlRun r = restore(line);
    EXPECT_EQ(r.exit, ctl::kExitFailed);
    EXPECT_EQ(
        r.err,
        "korvelctl: kx:2.1 (KX44): ms is 1, the file holds 2\n"
        "korvelctl: kx:3 (WOBE-s): is a KX-H now, the file holds a WOBE-s; skipped\n"
        "korvelctl: kx:5 (KX-H): not present now; skipped\n"
        "korvelctl: written: kx:0 (KX-H) (every setting); kx:2.0 (KX44) (every setting); kx:2.1 "
        "(KX44) "
        "(every setting); zr:1 (ZR32) (every setting); zr:6 (ZR32) (every setting)\n"
        "korvelctl: not written: kx:3 (WOBE-s) (every setting); kx:5 (KX-H) (every setting)\n");
    sim::SimSystem& s = line.controller.system();
    EXPECT_EQ(moduleOf(s, ModuleFamily::KX, 0).kxPermanent.value[1], 7);
    EXPECT_EQ(moduleOf(s, ModuleFamily::KX, 3).kxPermanent.value[14], 33);
    EXPECT_EQ(moduleOf(s, ModuleFamily::ZR, 6).zrPermanent.devices[63].time, 18);
}

// A module whose status answer is lost on every try is never left out in
// silence; one lost answer is asked again and costs nothing.
TEST_F(RestoreTest, ALostStatusAnswerIsNamedAndFailsTheCommand) {
    const std::string file = folder.path("lost.json");
    const sim::FrameData statusOfKx5{1, 11, 37}, getPwmOfKx21{0, 34, 24, 9};
    const struct {
        std::vector<std::string> args;
        sim::FrameData lostFrame;
        int losses, exit;
        std::string err;
    } table[] = {
        {{"status"}, statusOfKx5, 1, 0, ""},
        {{"status"}, statusOfKx5, 3, 1, "korvelctl: kx:5 did not answer the status request\n"},
        {{"backup", file},
         statusOfKx5,
         3,
         1,
         "korvelctl: kx:5 did not answer the status request; no backup written\n"},
        {{"kx", "set", "All_KXxx", "hfi", "5"},
         statusOfKx5,
         3,
         1,
         "korvelctl: kx:5 did not answer the status request; not set\n"},
        {{"kx", "get", "2.1", "pwm"}, getPwmOfKx21, 2, 0, ""},
        {{"kx", "get", "2.1", "pwm", "--retries", "0"},
         getPwmOfKx21,
         1,
         1,
         "korvelctl: kx:2.1: no answer to pwm\n"},
    };
    for (const auto& row : table) {
        MemoryLine line;
        int lost = 0;
        line.controller.faults().unanswered = [&](const sim::FrameData& d) {
            return d == row.lostFrame && lost++ < row.losses;
        };
        std::vector<std::string> args{"-p", "1"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const CtlRun r = runCtl(line, args);
        EXPECT_EQ(r.exit, row.exit) << row.args[0] << row.losses;
        EXPECT_EQ(r.err, row.err);
        if (row.exit == 1 && row.args[0] == "status") {
            EXPECT_NE(r.out.find("kx:5  "), std::string::npos) << r.out;
        }
        EXPECT_FALSE(QFile::exists(QString::fromStdString(file)));
    }
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
    EXPECT_TRUE(r.err.starts_with(
        "korvelctl: restore stopped: interrupted\nkorvelctl: written: kx:0 (KX-H) hfi, "))
        << r.err;
    EXPECT_NE(
        r.err.find(
            "\nkorvelctl: not written: kx:0 (KX-H) (the rest); kx:2.0 (KX44) (every setting)"),
        std::string::npos)
        << r.err;
}

// The message log's words reach a terminal: every exchange with -v, and the
// messages the controller held while `monitor` polls, until Ctrl+C.
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
    EXPECT_EQ(monitor.exit, ctl::kExitOk);
    EXPECT_NE(monitor.out.find("answer · KX 2 HFI-level = 12"), std::string::npos) << monitor.out;
    EXPECT_EQ(std::count(monitor.out.begin(), monitor.out.end(), '\n'), 1) << monitor.out;
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

TEST_F(RestoreTest, EachCommandEndsAsItShould) {
    const std::string half = folder.path("half.json");
    // clang-format off
    const Outcome table[] = {
        {{"kx", "get", "2.1", "switch-delay", "--bank", "1"}, 2, "",
         "korvelctl: switch-delay --bank 1 is not a setting of a KX44\n"},
        {{"kx", "set", "0", "alarm-delay", "--on", "100"}, 0, "kx:0 alarm-delay --on = 100 confirmed\n", ""},
        {{"kx", "set", "All_KX44", "ocd", "slow"}, 0, "kx:2.0 ocd = 2 confirmed\nkx:2.1 ocd = 2 confirmed\n", ""},
        {{"kx", "set", "0", "ms", "master"}, 0, "kx:0 ms = 1 confirmed\n", ""},
        {{"zr", "report", "1", "--permanent"}, 0, "ZR32#1 Permanent settings:\nDefault Timing =   500ms\n", ""},
        {{"zr", "report", "6"}, 0, "    63   300ms  Unlimited\n", ""},
        {{"restore", "@"}, 1, "", "korvelctl: restore stopped: no answer from kx:0 (KX-H) reading back "
         "alarm-delay --on\nkorvelctl: written: kx:0 (KX-H) hfi, alarm-delay, alarm-delay --on\n"
         "korvelctl: not written: kx:0 (KX-H) (the rest); kx:2.0 (KX44) (every setting); kx:2.1 (KX44) "
         "(every setting); kx:3 (WOBE-s) (every setting); kx:5 (KX-H) (every setting); "
         "zr:1 (ZR32) (every setting); zr:6 (ZR32) (every setting)\n", 32, 5, 3},
        {{"restore", "/nonexistent/b.json"}, 1, "",
         "korvelctl: cannot read /nonexistent/b.json: No such file or directory\n"},
        {{"backup", "/nonexistent/b.json"}, 1, "",
         "korvelctl: cannot write in /nonexistent: No such file or directory; no backup written\n"},
        {{"backup", "/dev/full"}, 1, "", "korvelctl: cannot write /dev/full: No space left on device; "
         "no backup written\n"},
        {{"backup", half}, 1, "", "korvelctl: zr:6 (ZR32): the active configuration did not come in whole\n"
         "korvelctl: no backup written\n", 70, 4, 20},
        {{"zr", "report", "6"}, 1, "", "korvelctl: zr:6: the report is incomplete\n", 70, 4, 20},
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
