// What korvelctl refuses before it sends anything: arguments, and backup
// files that are not backups, of another version, cut short or edited wrong.
#include <QFile>

#include "ctl/backup_file.h"
#include "tests/ctl/ctl_rig.h"

namespace korvel::testing {
namespace {

struct Refusal {
    std::vector<std::string> args;  // "@" stands for a valid backup file
    std::string reason;
};

struct ValidationTest : ::testing::TestWithParam<Refusal> {
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        MemoryLine line(sim::demoSystem());
        ASSERT_EQ(runCtl(line, {"-p", "1", "backup", path("good.json")}).exit, ctl::kExitOk);
        QFile f(QString::fromStdString(path("good.json")));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        good = f.readAll().toStdString();
    }
    static std::string path(const std::string& name) {
        return dir->filePath(QString::fromStdString(name)).toStdString();
    }
    static void write(const std::string& text) {
        QFile f(QString::fromStdString(path("edited.json")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.data(), static_cast<qint64>(text.size()));
    }

    // Runs against a fresh system and checks the refusal left the line silent.
    void expectRefused(std::vector<std::string> args, const std::string& reason) {
        MemoryLine line(sim::demoSystem());
        for (std::string& a : args)
            if (a == "@") a = path("good.json");
        const CtlRun r = runCtl(line, args);
        EXPECT_EQ(r.exit, ctl::kExitUsage);
        EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line: " << r.err;
        EXPECT_TRUE(line.controller.framesReceived().empty());
    }

    static inline QTemporaryDir* dir = nullptr;
    static inline std::string good;
};

TEST_P(ValidationTest, RefusedWithItsReasonBeforeAnythingIsSent) {
    expectRefused(GetParam().args, GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ValidationTest,
    ::testing::Values(
        Refusal{{}, "a command is needed"}, Refusal{{"--demo", "reboot"}, "no command \"reboot\""},
        Refusal{{"status"}, "give either -p PORT or --demo"},
        Refusal{{"-p", "1", "--demo", "status"}, "give either -p PORT or --demo"},
        Refusal{{"-p", "17", "status"}, "-p takes a port number 1..16"},
        Refusal{{"-p", "5x", "status"}, "-p takes a port number 1..16"},
        Refusal{{"--demo", "status", "--permanent"}, "--permanent is not an option of status"},
        Refusal{{"--demo", "kx", "get", "16", "hfi"}, "no KX module \"16\""},
        Refusal{{"--demo", "kx", "get", "2.2", "hfi"}, "no KX module \"2.2\""},
        Refusal{{"--demo", "kx", "get", "All_KX44", "hfi"}, "reads one module, not a group"},
        Refusal{{"--demo", "kx", "get", "0", "volume"}, "no KX setting \"volume\""},
        Refusal{{"--demo", "kx", "get", "0", "hfi", "--loop", "B"}, "no KX setting \"hfi --loop B\""},
        Refusal{{"--demo", "kx", "set", "0", "hfi", "16"}, "hfi takes 0..15, not \"16\""},
        Refusal{{"--demo", "kx", "set", "0", "loop-current", "19"}, "takes 20..70"},
        Refusal{{"--demo", "kx", "set", "0", "hfi", "7.5"}, "hfi takes 0..15"},
        Refusal{{"--demo", "kx", "set", "0", "pwm", "3"}, "pwm takes 2, 4, 8, 16, 32"},
        Refusal{{"--demo", "kx", "set", "0", "ocd", "medium"}, "0 fast, 1 moderate, 2 slow"},
        Refusal{{"--demo", "zr", "report", "8"}, "MODULE 0..7"},
        Refusal{{"--demo", "restore", "@", "--only", "kx:9"}, "kx:9 is not in the backup"},
        Refusal{{"--demo", "restore", "@", "--only", "kx:0", "qh:4"}, "\"qh:4\" is no module name"},
        Refusal{{"--demo", "restore", "@", "--map", "kx:0=zr:1"}, "a module keeps its family"},
        Refusal{{"--demo", "restore", "@", "--map", "kx:0"}, "--map takes OLD=NEW"},
        Refusal{{"--demo", "restore", "/nonexistent/b.json"}, "/nonexistent/b.json: "}));

// Each edit of a good backup, and what the refusal says.
struct Edit {
    std::string from, to, reason;
};

struct FileValidationTest : ValidationTest {};

TEST_F(FileValidationTest, EveryEditIntoNonsenseIsRefused) {
    const Edit edits[] = {
        {"\"version\": 1", "\"version\": 2", "backup version 2 is not known"},
        {"korvelctl-backup", "other-backup", "not a korvelctl backup"},
        {"\"hfi\": 7", "\"hfi\": 16", "kx:0 active \"hfi\": takes 0..15"},
        {"\"hfi\": 7", "\"hfi\": 6.5", "\"hfi\": expected a whole number"},
        {"\"pwm\": 4", "\"pwm\": 3", "\"pwm\": takes 2, 4, 8, 16, 32"},
        {"\"hfi\": 7,", "", "kx:0 active \"hfi\": missing"},
        {"\"loop-current\": 50", "\"hfi\": 1, \"loop-current\": 50", "a WOBE-s does not have"},
        {"\"default-time\": 12", "\"default-time\": 128", "default-time: expected a whole number 0..127"},
        {"\"devices\": [", "\"devices\": [{\"power\": 0, \"time\": 0},", "needs 64 devices"},
        {"\"type\": \"KX-H\"", "\"type\": \"ZR32\"", "type \"ZR32\" does not fit kx:0"},
        {"\"module\": \"kx:2.0\"", "\"module\": \"kx:0\"", "kx:0 appears twice"},
        {"\"module\": \"kx:0\"", "\"module\": \"kx:16\"", "no module name"},
        {"\"modules\": [", "\"modules\": 7, \"x\": [", "no list of modules"},
    };
    for (const Edit& e : edits) {
        std::string text = good;
        const std::size_t at = text.find(e.from);
        ASSERT_NE(at, std::string::npos) << e.from;
        write(text.replace(at, e.from.size(), e.to));
        expectRefused({"--demo", "restore", path("edited.json")}, e.reason);
    }
    write(good.substr(0, good.size() / 2));
    expectRefused({"--demo", "restore", path("edited.json")}, "not readable as JSON");
}

}  // namespace
}  // namespace korvel::testing
