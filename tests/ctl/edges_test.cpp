// korvelctl as a process at its edges: standard output that will not take the
// result, a signal while it waits for input, a backup onto a symbolic link.
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <QProcess>
#include <csignal>
#include <thread>

#include "qt_serial/qt_serial_port.h"
#include "tests/ctl/ctl_rig.h"

namespace korvel::testing {
namespace {

const QString kKorvelctl = QStringLiteral(KORVELCTL_DIR "/korvelctl");

struct FullOutput {
    QStringList args;
    std::string said;  // standard error, after "korvelctl: cannot write to standard output: "
};

void PrintTo(const FullOutput& f, std::ostream* os) {
    *os << f.args.join(' ').toStdString();
}

struct FullOutputTest : ::testing::TestWithParam<FullOutput> {};

// Every result goes through standard output and its close: a full disk fails the run.
TEST_P(FullOutputTest, ARefusedWriteIsAFailureWithItsReason) {
    QProcess p;
    p.setStandardOutputFile("/dev/full");
    p.start(kKorvelctl, QStringList{"--demo"} + GetParam().args);
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), ctl::kExitFailed);
    EXPECT_EQ(p.readAllStandardError().toStdString(),
              "korvelctl: cannot write to standard output: No space left on device" +
                  GetParam().said + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Commands, FullOutputTest,
    ::testing::Values(FullOutput{{"status"}, ""}, FullOutput{{"status", "--json"}, ""},
                      FullOutput{{"-q", "kx", "get", "0", "hfi"}, ""},
                      FullOutput{{"backup", "-"}, "; no backup written"},
                      FullOutput{{"backup", "-", "--json"}, "; no backup written"}));

struct Interrupted {
    QStringList args;
    int signal;
};

void PrintTo(const Interrupted& i, std::ostream* os) {
    *os << i.args.join(' ').toStdString() << " signal " << i.signal;
}

struct SignalTest : ::testing::TestWithParam<Interrupted> {};

// A command waiting on a standard input that never ends, or on the line, stops
// for Ctrl+C or SIGTERM with 128 + the signal.
TEST_P(SignalTest, EndsWithTheSignalsExitStatus) {
    QProcess p;
    p.start(kKorvelctl, QStringList{"--demo"} + GetParam().args);
    ASSERT_TRUE(p.waitForStarted());
    // Time to install its handlers; an early signal would kill it, which fails below.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::kill(static_cast<pid_t>(p.processId()), GetParam().signal);
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 128 + GetParam().signal) << p.readAllStandardError().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Waits, SignalTest,
                         ::testing::Values(Interrupted{{"restore", "-"}, SIGINT},
                                           Interrupted{{"verify", "-"}, SIGTERM},
                                           Interrupted{{"monitor"}, SIGTERM}));

// A backup onto a symbolic link replaces the file it points to; the link stays.
TEST(BackupOntoALink, WritesThroughAndKeepsTheLink) {
    BackupFolder folder;
    QDir(folder.dir.path()).mkdir("real");
    const QString target = QString::fromStdString(folder.path("real/t.json"));
    const QString link = QString::fromStdString(folder.path("l.json"));
    ASSERT_TRUE(QFile::link("real/t.json", link));
    MemoryLine line;
    EXPECT_EQ(runCtl(line, {"-p", "1", "backup", link.toStdString()}).exit, ctl::kExitOk);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    QFile written(target);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("korvelctl-backup"));
    EXPECT_EQ(QDir(folder.dir.filePath("real")).entryList(QDir::Files), QStringList{"t.json"});
}

// A port no group of the user's may open is not fixed by joining root's group.
TEST(PortAdvice, AGroupToJoinOnlyWhereTheGroupMayOpenIt) {
    QTemporaryDir dir;
    const std::string device = dir.filePath("ttyS0").toStdString();
    QFile(QString::fromStdString(device)).open(QIODevice::WriteOnly);
    const group* dialout = ::getgrnam("dialout");
    for (const auto& [mode, gid, advice] :
         {std::tuple{0600, gid_t{0}, "a udev rule gives it a group"},
          std::tuple{0660, gid_t{0}, "a udev rule gives it a group"},
          std::tuple{0660, dialout ? dialout->gr_gid : 0, "sudo usermod -aG dialout $USER"}}) {
        if (::chown(device.c_str(), ::geteuid(), gid) != 0 || (gid != 0 && !dialout)) continue;
        ::chmod(device.c_str(), static_cast<mode_t>(mode));
        const std::string said = permissionAdvice(device);
        EXPECT_NE(said.find(advice), std::string::npos) << said;
        EXPECT_EQ(said.find("usermod -aG root"), std::string::npos) << said;
    }
}

}  // namespace
}  // namespace korvel::testing
