// What korvelctl refuses before it sends anything: arguments, and backup
// files that are not backups, of another version, cut short or edited wrong.
#include <QFile>

#include "tests/ctl/ctl_rig.h"

namespace korvel::testing {
namespace {

struct Refusal {
    std::vector<std::string> args;   // "@" stands for a good backup file, "@e" for it edited
    std::string reason;              // after the file name when the file is edited
    std::string from = {}, to = {};  // the edit; "" from cuts the file in half
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.reason;
}

struct ValidationTest : ::testing::TestWithParam<Refusal> {
    static void SetUpTestSuite() { folder = new BackupFolder; }
    static void TearDownTestSuite() { delete folder; }  // removes its temporary folder
    static inline BackupFolder* folder = nullptr;
};

TEST_P(ValidationTest, RefusedWithItsReasonBeforeAnythingIsSent) {
    std::vector<std::string> args = GetParam().args;
    std::string reason = GetParam().reason;
    if (!args.empty() && args.back() == "@e") {
        QFile file(QString::fromStdString(folder->path("b.json")));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        std::string text = file.readAll().toStdString();
        EXPECT_EQ(text.find("\"address\""), std::string::npos) << "a module keeps its own address";
        const std::string& from = GetParam().from;
        if (from.empty()) text.resize(text.size() / 2);
        ASSERT_NE(text.find(from), std::string::npos) << from;
        if (!from.empty()) text.replace(text.find(from), from.size(), GetParam().to);
        QFile edited(QString::fromStdString(folder->path("e.json")));
        ASSERT_TRUE(edited.open(QIODevice::WriteOnly | QIODevice::Truncate));
        edited.write(text.data(), static_cast<qint64>(text.size()));
        reason = folder->path("e.json") + ": " + reason;
    }
    MemoryLine line;
    std::replace(args.begin(), args.end(), std::string("@"), folder->path("b.json"));
    std::replace(args.begin(), args.end(), std::string("@e"), folder->path("e.json"));
    const CtlRun r = runCtl(line, args);
    EXPECT_EQ(r.exit, ctl::kExitUsage);
    EXPECT_EQ(r.err.find(reason), r.err.find("korvelctl: ") + 11) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(line.controller.framesReceived().empty());
}

Refusal edit(std::string from, std::string to, std::string reason) {
    return {{"-p", "1", "restore", "@e"}, std::move(reason), std::move(from), std::move(to)};
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ValidationTest,
    ::testing::Values(
        Refusal{{}, "a command is needed"}, Refusal{{"--demo", "reboot"}, "no command \"reboot\""},
        Refusal{{"status"}, "give -p PORT, KORVEL_PORT or --demo"},
        Refusal{{"-p", "17", "status"}, "-p takes a port number 1..16"},
        Refusal{{"--demo", "status", "--permanent"}, "--permanent is not an option of status"},
        Refusal{{"--demo", "kx", "get", "2.2", "hfi"}, "no KX module \"2.2\""},
        Refusal{{"--demo", "kx", "get", "All_KX44", "hfi"}, "kx get reads one module"},
        Refusal{{"--demo", "kx", "get", "0", "hfi", "--loop", "B"},
                "no KX setting \"hfi --loop B\""},
        Refusal{{"--demo", "kx", "set", "0", "hfi", "16"}, "hfi takes 0..15, not \"16\""},
        Refusal{{"--demo", "kx", "set", "0", "loop-current", "19.5"}, "loop-current takes 20..70"},
        Refusal{{"--demo", "kx", "set", "0", "pwm", "3"}, "pwm takes 2, 4, 8, 16, 32"},
        Refusal{{"--demo", "kx", "set", "0", "ocd", "medium"},
                "ocd takes 0 fast, 1 moderate, 2 slow"},
        Refusal{{"--demo", "kx", "set", "All_KX44", "power", "1"},
                "power is not a setting of a KX44"},
        Refusal{{"--demo", "--retries", "x", "status"}, "--retries takes a number 0..20"},
        Refusal{{"--demo", "zr", "report", "8"}, "no ZR32 module \"8\": give 0..7 or All"},
        Refusal{{"--demo", "restore", "@", "--only", "kx:0", "kx:9"}, "kx:9 is not in the backup"},
        Refusal{{"--demo", "restore", "@", "--map", "kx:0=zr:1"},
                "--map kx:0=zr:1: a module keeps"},
        Refusal{{"--demo", "restore", "@", "--map", "kx:0"}, "--map takes OLD=NEW"},
        Refusal{{"--demo", "restore", "@", "--map", "kx:2=kx:7", "--map", "kx:2.1=kx:8.1"},
                "--map kx:2.1=kx:8.1: kx:2.1 is mapped already"},
        Refusal{{"--demo", "zr", "set", "1", "device", "5.9", "time", "3"},
                "device takes a whole number from 0 to 63, not \"5.9\""},
        Refusal{{"--demo", "zr", "set", "1", "device", "64", "time", "1"}, "device takes a whole"},
        Refusal{{"--demo", "zr", "set", "1", "default-time", "12.7"}, "default-time takes a whole"},
        Refusal{{"--demo", "zr", "set", "1", "default-time", "1e2"}, "default-time takes a whole"},
        Refusal{{"--demo", "zr", "set", "1", "default-time", "-5"}, "default-time takes a whole"},
        Refusal{{"--demo", "zr", "set", "1", "device", "5", "time", "128"}, "time takes a whole"},
        Refusal{{"--demo", "--retries", "1.5", "status"}, "--retries takes a number 0..20"},
        Refusal{{"--demo", "status", "--bogus"}, "unknown option 'bogus'"},
        Refusal{{"help", "kx", "bogus"}, "no command \"kx bogus\""},
        Refusal{{"help", "kx", "get", "x"}, "no command \"kx get x\""},
        Refusal{{"--version", "extra"}, "--version takes no command"},
        Refusal{{"--demo", "verify", "/dev/zero"}, "/dev/zero: larger than 4 MiB, which no backup is"}));

// Each edit of a good backup, and what the refusal says after the file name.
INSTANTIATE_TEST_SUITE_P(
    BackupFiles, ValidationTest,
    ::testing::Values(
        edit("\"version\": 1", "\"version\": 2", "backup version 2 is not known"),
        edit("korvelctl-backup", "other-backup", "not a korvelctl backup"),
        edit("\"hfi\": 7", "\"hfi\": 128", "kx:0 active \"hfi\": expected a whole number 0..127"),
        edit("\"hfi\": 7", "\"hfi\": 6.5", "kx:0 active \"hfi\": expected a whole number"),
        edit("\"hfi\": 7,", "", "kx:0 active \"hfi\": missing"),
        edit("\"loop-current\": 50", "\"hfi\": 1, \"loop-current\": 50",
             "kx:3 active: holds a setting a WOBE-s does not have"),
        edit("\"default-time\": 12", "\"default-time\": 128",
             "zr:1 active default-time: expected a whole number 0..127"),
        edit("\"devices\": [", "\"devices\": [{\"power\": 0, \"time\": 0},",
             "zr:1 active: needs 64 devices"),
        edit("\"type\": \"KX-H\"", "\"type\": \"ZR32\"", "module 1: type \"ZR32\" does not fit"),
        edit("\"module\": \"kx:2.0\"", "\"module\": \"kx:0\"", "kx:0 appears twice"),
        edit("\"module\": \"kx:0\"", "\"module\": \"kx:16\"", "module 1: no module name"),
        edit("\"modules\": [", "\"modules\": 7, \"x\": [", "no list of modules"),
        edit("", "", "not readable as JSON")));

}  // namespace
}  // namespace korvel::testing
