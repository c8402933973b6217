// Each command of the window's pages, run against the demo system: what it
// prints, how it exits, and what the simulated system holds afterwards.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <sstream>

#include "sim/handlers.h"
#include "tests/ctl/ctl_rig.h"

namespace korvel::testing {
namespace {

using sim::ModuleFamily;
using System = sim::SimSystem;

sim::SimModule& module(System& s, ModuleFamily family, int number) {
    return *sim::findModule(s, family, number);
}

using Setup = std::function<void(sim::SimController&)>;

// The frame goes unanswered its first `times` times.
Setup lose(sim::FrameData frame, int times) {
    return [=](sim::SimController& c) {
        c.faults().unanswered = [=, n = 0](const sim::FrameData& d) mutable {
            return d == frame && n++ < times;
        };
    };
}

// The report the frame causes comes too late for the read that asked: a read
// asked once goes without it.
Setup reportTooLate(sim::FrameData frame) {
    return [=](sim::SimController& c) {
        c.faults().aimed = sim::AimedFault{sim::FaultKind::DelayFrames,
                                           [=](const sim::FrameData& d) { return d == frame; },
                                           1500};
    };
}

// After a change of settings since the backup, the module at bus address
// `address` takes its nth frame of `size` data bytes, then is gone.
Setup vanish(int address, std::size_t size, int nth) {
    return [=](sim::SimController& c) {
        changeSettings(c.system());
        c.faults().unanswered = [=, &c, seen = 0](const sim::FrameData& d) mutable {
            if (d.size() == size && d[1] == address && ++seen == nth)
                std::erase_if(c.system().modules, [&](const sim::SimModule& m) {
                    return m.number + (m.family == ModuleFamily::KX ? 32 : 64) == address;
                });
            return false;
        };
    };
}

struct Case {
    std::vector<std::string> args;  // "@" is a backup of the demo system, "%" a file never written
    int exit;
    std::string out, err;  // all of the output, or a part of it after "..."
    std::function<bool(sim::SimController&)> holds = {};  // what the system holds afterwards
    Setup before = {};
};

void PrintTo(const Case& r, std::ostream* os) {
    for (const std::string& a : r.args) *os << a << ' ';
}

struct CommandTest : ::testing::TestWithParam<Case> {
    static void SetUpTestSuite() { folder = new BackupFolder; }
    static void TearDownTestSuite() { delete folder; }
    static inline BackupFolder* folder = nullptr;
};

TEST_P(CommandTest, PrintsExitsAndLeavesTheSystemAsItShould) {
    const Case& run = GetParam();
    MemoryLine line;
    if (run.before) run.before(line.controller);
    std::vector<std::string> args{"--demo"};
    for (const std::string& a : run.args)
        args.push_back(a == "@" ? folder->path("b.json") : a == "%" ? folder->path("n.json") : a);
    const CtlRun r = runCtl(line, args);
    EXPECT_EQ(r.exit, run.exit) << r.err;
    if (run.out.starts_with("...")) {
        EXPECT_NE(r.out.find(run.out.substr(3)), std::string::npos) << r.out;
    } else {
        EXPECT_EQ(r.out, run.out);
    }
    EXPECT_EQ(r.err, run.err);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder->path("n.json"))));
    if (run.holds) {
        EXPECT_TRUE(run.holds(line.controller));
    }
}

bool hfi(sim::SimController& c, int module, int value) {
    return sim::findModule(c.system(), ModuleFamily::KX, module)->kxPermanent.value[1] == value;
}

const sim::FrameData statusOfKx5{1, 11, 37}, getPwmOfKx21{0, 34, 24, 9};

void changed(sim::SimController& c) {
    changeSettings(c.system());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Pages, CommandTest, ::testing::Values(
    Case{{"kx", "get", "2.1", "--permanent"}, 0, "hfi = 7\nalarm-delay = 0\nalarm-delay --on = 0\n"
         "switch-delay = 0\nswitch-delay --on = 0\ndc-shift = 0\npwm = 4\nocd = 0\nms = 2\n", ""},
    Case{{"kx", "get", "9"}, 1, "", "korvelctl: KX module 9 is not there (the status request says \"Not Found\")\n"},
    Case{{"kx", "get", "5"}, 1, "", "korvelctl: KX module 5 did not answer the status request\n", {}, lose(statusOfKx5, 4)},
    Case{{"kx", "get", "2.1", "pwm"}, 0, "4\n", "", {}, reportTooLate(getPwmOfKx21)},
    Case{{"kx", "get", "2.1", "pwm", "--retries", "0"}, 1, "", "korvelctl: kx:2.1: no answer to pwm\n",
         {}, reportTooLate(getPwmOfKx21)},
    // Which settings a module has is known only from the status request: no usage error then.
    Case{{"kx", "get", "2.1", "switch-delay", "--bank", "1"}, 1, "",
         "korvelctl: kx:2.1: switch-delay --bank 1 is not a setting of a KX44; not read\n"},
    Case{{"kx", "set", "3", "hfi", "3"}, 1, "", "korvelctl: kx:3: hfi is not a setting of a WOBE-s; not set\n"},
    Case{{"kx", "set", "0", "alarm-delay", "--on", "100"}, 0, "kx:0 alarm-delay --on = 100 confirmed\n", ""},
    Case{{"kx", "set", "All_KX44", "ocd", "slow"}, 0, "kx:2.0 ocd = 2 confirmed\nkx:2.1 ocd = 2 confirmed\n", ""},
    Case{{"kx", "set", "0", "ms", "master"}, 0, "kx:0 ms = 1 confirmed\n", ""},
    Case{{"kx", "set", "All_KXxx", "hfi", "5"}, 1, "kx:0 hfi = 5 confirmed\nkx:2.0 hfi = 5 confirmed\nkx:2.1 hfi = 5 confirmed\n", "korvelctl: kx:5 did not answer the status request; "
         "not set\n", {}, lose(statusOfKx5, 4)},
    Case{{"kx", "erase", "All_KX-H", "--yes"}, 0, "kx:0 erased\nkx:5 erased\n", "",
         [](auto& c) { return hfi(c, 5, 0) && hfi(c, 2, 7); }},
    Case{{"kx", "erase", "2.1"}, 2, "", "korvelctl: erasing kx:2.1 cannot be undone: give --yes to go on\n",
         [](auto& c) { return c.framesReceived().empty(); }},
    Case{{"kx", "ms-check"}, 0, "kx:0 is master\nkx:2.0 is slave\nkx:5 is slave\nkx:2.1 is slave\n"
         "one master (\"Your master/slave settings are OK\")\n", ""},
    Case{{"kx", "ms-check"}, 1, "kx:0 is slave\nkx:2.0 is slave\nkx:5 is error 0\nkx:2.1 is slave\n",
         "korvelctl: no master (\"Your system has no master!\")\n", {}, [](sim::SimController& c) {
             module(c.system(), ModuleFamily::KX, 0).kxActive.value[11] = 2;
             module(c.system(), ModuleFamily::KX, 5).kxActive.value[11] = 0; }},
    Case{{"zr", "report", "1", "--permanent"}, 0, "...ZR32#1 Permanent settings:\nDefault Timing =   200ms\n", ""},
    Case{{"zr", "report", "6"}, 0, "...    63   300ms  Unlimited\n", ""},
    Case{{"zr", "report", "6"}, 1, "ZR32#6 Active settings:\nDevice  Timing  Power\n", "korvelctl: zr:6: the report is incomplete\n", {}, vanish(70, 4, 20)},
    Case{{"zr", "set", "1", "device", "63", "time", "127", "--permanent"}, 0,
         "zr:1 device 63 time = 127 confirmed (permanent)\n", "",
         [](auto& c) { return module(c.system(), ModuleFamily::ZR, 1).zrPermanent.devices[63].time == 127; }},
    Case{{"zr", "erase", "1", "--yes"}, 0, "zr:1 erased\n", "", [](auto& c) {
             return module(c.system(), ModuleFamily::ZR, 1).zrPermanent.devices[1].time == 0 &&
                    module(c.system(), ModuleFamily::ZR, 6).zrPermanent.devices[1].time != 0; }},
    Case{{"vg", "set", "--config", "YN32 retr,5", "--options", "ret.report,Debug.M", "--permanent"}, 0,
         "VG-U configuration YN32 retr, ZR 64d (permanent) sent\nVG-U options Ret.Report, Debug.M sent\n", "",
         [](auto& c) { const System& s = c.system();
             return s.vgConfigLow == 0 && s.vgConfigHigh == 3 && s.vgConfigPermanent && s.vgOptions == 66; }},
    Case{{"vg", "set", "--config", "S0 down"}, 1, "",
         "korvelctl: a VG-U does not offer the configuration bit 2 (\"S0 down\")\n"},
    Case{{"vg", "set", "--options", "4,X"}, 2, "",
         "korvelctl: --options takes bit numbers 0-7 or box captions, not \"X\"\n"},
    Case{{"vg", "set", "--config", "0"}, 1, "", "korvelctl: a WOBE does not offer the configuration bit 0 "
         "(\"S1 38k4\")\n", {}, [](auto& c) { c.system().systemType = 10; }},
    Case{{"reset-fault"}, 0, "Reset Fault sent\n", "", [](auto& c) { return c.system().resetFaultCount == 1; }},
    Case{{"test", "f1..f4+l", "L", "F1", "--decoder", "3"}, 0, "F1..F4+L of decoder 3 in block 0 sent: L, F1 on\n",
         "", [](auto& c) { return c.decoderCommands() == std::vector<sim::FrameData>{{40, 0, 17, 3}}; }},
    Case{{"test", "F5..F8", "L"}, 2, "", "korvelctl: \"L\" is not a function of F5..F8: give F5, F6, F7, F8\n"},
    // A number is taken exactly as typed, before the first frame.
    Case{{"test", "F21..F28", "--decoder", "16384"}, 2, "", "korvelctl: --decoder takes a whole number from 0 to 16383, not \"16384\"\n"},
    Case{{"test", "F5..F8", "--decoder", "3.5"}, 2, "", "korvelctl: --decoder takes a whole number from 0 to 16383, not \"3.5\"\n"},
    Case{{"test", "F5..F8", "--decoder", ""}, 2, "", "korvelctl: --decoder takes a whole number from 0 to 16383, not \"\"\n"},
    Case{{"test", "F5..F8", "--block", "abc"}, 2, "", "korvelctl: --block takes a whole number from 0 to 127, not \"abc\"\n"},
    Case{{"status"}, 0, "...kx:5    KX-H ", "", {}, lose(statusOfKx5, 1)},
    Case{{"status"}, 1, "...kx:5            not answering\n", "korvelctl: kx:5 did not answer the status request\n", {}, lose(statusOfKx5, 4)},
    Case{{"backup", "%"}, 1, "", "korvelctl: kx:5 did not answer the status request; no backup written\n", {},
         lose(statusOfKx5, 4)},
    Case{{"backup", "%"}, 1, "", "korvelctl: zr:6 (ZR32): the active configuration did not come in whole\n"
         "korvelctl: no backup written\n", {}, vanish(70, 4, 20)},
    Case{{"backup", "/nonexistent/b.json"}, 1, "",
         "korvelctl: cannot write in /nonexistent: No such file or directory; no backup written\n"},
    Case{{"backup", "/dev/full"}, 1, "", "korvelctl: cannot write /dev/full: No space left on device; "
         "no backup written\n"},
    Case{{"restore", "/nonexistent/b.json"}, 1, "",
         "korvelctl: cannot read /nonexistent/b.json: No such file or directory\n"},
    // One half of a KX44 named is that half only, and a half mapped lands on the half it names.
    Case{{"restore", "@", "--only", "kx:2.0"}, 0, "1 module restored, every setting read back equal\n", "",
         [](auto& c) { return module(c.system(), ModuleFamily::KX, 2).kxSecondPermanent.value[9] == 16; },
         changed},
    Case{{"verify", "@", "--only", "kx:2.0"}, 0, "...of 1 module equal to", "", {}, changed},
    Case{{"restore", "@", "--only", "kx:2.1", "--map", "kx:2.1=kx:2.0"}, 0, "...1 module restored", "",
         [](auto& c) { const sim::SimModule& m = module(c.system(), ModuleFamily::KX, 2);
             return m.kxPermanent.value[9] == 4 && m.kxSecondPermanent.value[9] == 16; },
         [](auto& c) { changeSettings(c.system()); module(c.system(), ModuleFamily::KX, 2).kxPermanent.value[9] = 32; }},
    // Each read of a backup is asked again on its own.
    Case{{"backup", "-"}, 0, "...\"korvelctl-backup\"", "korvelctl: 7 modules saved on standard output\n", {},
         reportTooLate(getPwmOfKx21)},
    // The restore stops at the silent module: kx:2.1 keeps its changed value.
    Case{{"restore", "@"}, 1, "...", "korvelctl: restore stopped: no answer from kx:0 (KX-H) reading back "
         "alarm-delay --on\nkorvelctl: kx:0 (KX-H): written and read back: hfi, alarm-delay; sent, not "
         "read back: alarm-delay --on; the rest not written\nkorvelctl: kx:2.0 (KX44): nothing written\n"
         "korvelctl: kx:2.1 (KX44): nothing written\nkorvelctl: kx:3 (WOBE-s): nothing written\n"
         "korvelctl: kx:5 (KX-H): nothing written\nkorvelctl: zr:1 (ZR32): nothing written\n"
         "korvelctl: zr:6 (ZR32): nothing written\n",
         [](auto& c) { return module(c.system(), ModuleFamily::KX, 2).kxSecondPermanent.value[9] == 16; },
         vanish(32, 5, 3)}));
// clang-format on

// An erase asked on a terminal goes on only for the typed word.
TEST(EraseConfirmation, OnlyTheTypedWordErases) {
    for (const auto& [typed, exit] : {std::pair{"erase\n", 0}, std::pair{"yes\n", 1}}) {
        MemoryLine line;
        std::istringstream input(typed);
        const CtlRun r = runCtl(line, {"--demo", "zr", "erase", "6"}, &input);
        EXPECT_EQ(r.exit, exit) << r.err;
        EXPECT_EQ(line.controller.framesReceived().empty(), exit != 0);
        EXPECT_EQ(r.err.substr(r.err.find("to go on: ") + 10),
                  exit ? "korvelctl: cancelled (\"Operation Cancelled\")\n" : "");
    }
}

// The values a backup file holds for the modules' permanent settings.
int permanentValues(const std::string& json) {
    const std::function<int(const QJsonValue&)> count = [&](const QJsonValue& v) {
        int n = v.isDouble() ? 1 : 0;
        if (v.isObject())
            for (const QJsonValue& item : v.toObject()) n += count(item);
        if (v.isArray())
            for (const QJsonValue& item : v.toArray()) n += count(item);
        return n;
    };
    int n = 0;
    for (const QJsonValue& m :
         QJsonDocument::fromJson(QByteArray::fromStdString(json))["modules"].toArray())
        n += count(m["permanent"]);
    return n;
}

// "-" sends a backup to standard output and reads it back from standard
// input; verify names each difference and exits 1, writing nothing.
TEST(BackupThroughAPipe, VerifyAgainstStandardInput) {
    MemoryLine line;
    const CtlRun backup = runCtl(line, {"--demo", "backup", "-"});
    EXPECT_EQ(backup.err, "korvelctl: 7 modules saved on standard output\n");
    const auto verify = [&](std::vector<std::string> extra = {}) {
        std::istringstream piped(backup.out);
        extra.insert(extra.begin(), {"--demo", "verify", "-"});
        return runCtl(line, extra, nullptr, &piped);
    };
    EXPECT_EQ(verify().out, std::to_string(permanentValues(backup.out)) +
                                " settings of 7 modules equal to standard input\n");
    module(line.controller.system(), ModuleFamily::ZR, 6).zrPermanent.devices[9].power = 3;
    const CtlRun differs = verify();
    EXPECT_EQ(differs.exit, 1);
    EXPECT_EQ(differs.out, "zr:6 (ZR32): device 9 power is 3, the file holds 1\n");
    EXPECT_EQ(differs.err, "korvelctl: 1 setting differs from standard input\n");
    EXPECT_EQ(verify({"--json", "--only", "zr:6"}).exit, 1);
    EXPECT_EQ(runCtl(line, {"--demo", "backup", "-", "--json"}).exit, 0);
    std::istringstream piped(backup.out);
    EXPECT_EQ(runCtl(line, {"--demo", "restore", "-", "--json"}, nullptr, &piped).exit, 0);
    EXPECT_EQ(module(line.controller.system(), ModuleFamily::ZR, 6).zrPermanent.devices[9].power,
              1);
}

// Without -p the port comes from KORVEL_PORT; -q silences notes, never the
// result; --json puts the errors in its object.
TEST(Conventions, PortFromTheEnvironmentAndQuietRuns) {
    MemoryLine line;
    qputenv("KORVEL_PORT", "1");
    const CtlRun quiet = runCtl(line, {"-q", "kx", "get", "0", "hfi"});
    const CtlRun failed = runCtl(line, {"-q", "kx", "get", "1", "hfi"});
    qunsetenv("KORVEL_PORT");
    EXPECT_EQ(quiet.exit + quiet.err.size(), 0u);
    EXPECT_EQ(quiet.out, "7\n");
    EXPECT_EQ(failed.err, "korvelctl: KX module 1 is not there (the status request says \"Not Found\")\n");
    const CtlRun json = runCtl(line, {"--demo", "kx", "get", "1", "hfi", "--json"});
    EXPECT_EQ(json.exit, 1);
    EXPECT_NE(json.out.find("\"error\": {"), std::string::npos) << json.out;
}

}  // namespace
}  // namespace korvel::testing
