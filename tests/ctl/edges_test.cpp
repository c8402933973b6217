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

struct Edge {
    QStringList args;
    int signal;       // sent once it waits; 0: standard output is a full disk instead
    std::string err;  // all of standard error
};

void PrintTo(const Edge& e, std::ostream* os) {
    *os << e.args.join(' ').toStdString() << " signal " << e.signal;
}

struct EdgeTest : ::testing::TestWithParam<Edge> {};

// A result that standard output refused is a failure with its reason; a wait
// on input that never ends stops for Ctrl+C or SIGTERM with 128 + the signal.
TEST_P(EdgeTest, ExitsAsTheEdgeDemands) {
    const Edge& e = GetParam();
    QProcess p;
    if (!e.signal) p.setStandardOutputFile("/dev/full");
    p.start(kKorvelctl, QStringList{"--demo"} + e.args);
    ASSERT_TRUE(p.waitForStarted());
    if (e.signal) {
        // Time to install its handlers; an early signal would kill it, which fails below.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::kill(static_cast<pid_t>(p.processId()), e.signal);
    }
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), e.signal ? 128 + e.signal : ctl::kExitFailed);
    EXPECT_EQ(p.readAllStandardError().toStdString(), e.err);
}

const std::string kFull = "korvelctl: cannot write to standard output: No space left on device";

INSTANTIATE_TEST_SUITE_P(
    Edges, EdgeTest,
    ::testing::Values(Edge{{"status"}, 0, kFull + "\n"}, Edge{{"status", "--json"}, 0, kFull + "\n"},
                      Edge{{"-q", "kx", "get", "0", "hfi"}, 0, kFull + "\n"},
                      Edge{{"backup", "-"}, 0, kFull + "; no backup written\n"},
                      Edge{{"backup", "-", "--json"}, 0, kFull + "; no backup written\n"},
                      Edge{{"restore", "-"}, SIGINT, "korvelctl: stopped by signal 2\n"},
                      Edge{{"verify", "-"}, SIGTERM, "korvelctl: stopped by signal 15\n"},
                      Edge{{"monitor"}, SIGTERM, "korvelctl: stopped by signal 15\n"}));

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
