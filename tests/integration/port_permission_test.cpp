// A device the user may not open: the message names the cause and the group to join.
#include <grp.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "qt_serial/qt_serial_port.h"

namespace korvel {
namespace {

// Opens `device` as port 1 and returns the failure detail ("" when it opened).
std::string openDetail(const std::string& device) {
    QtSerialPort port;
    port.overrideDevice(1, device);
    if (port.open(1)) return "";
    return port.openErrorDetail();
}

// What `f` returns when run in a child process.
std::string inChild(const std::function<std::string()>& f) {
    int fds[2];
    if (pipe(fds) != 0) return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        ::close(fds[0]);
        const std::string out = f();
        _exit(write(fds[1], out.data(), out.size()) < 0 ? 2 : 0);
    }
    ::close(fds[1]);
    std::string out;
    char buffer[512];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    waitpid(child, nullptr, 0);
    return out;
}

struct PortPermission : ::testing::Test {
    PortPermission() { openpty(&master, &slave, name, nullptr, nullptr); }
    ~PortPermission() override { ::close(slave), ::close(master); }
    int master = -1, slave = -1;
    char name[256] = {};
};

TEST_F(PortPermission, DetailNamesTheSystemErrorAndTheOwningGroup) {
    const group* dialout = getgrnam("dialout");
    if (!dialout) GTEST_SKIP() << "no group dialout on this machine";
    const std::string device = name;
    const bool root = geteuid() == 0;
    // Root may open anything, so the attempt runs as nobody.
    ASSERT_EQ(root ? chown(name, 0, dialout->gr_gid) : 0, 0);
    ASSERT_EQ(chmod(name, root ? 0660 : 0), 0);  // else our own device, unreadable to ourselves
    const std::string detail = inChild([&] {
        if (root && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            return std::string("could not drop privileges");
        return openDetail(device);
    });
    EXPECT_NE(detail.find(device), std::string::npos) << detail;
    EXPECT_NE(detail.find("ermission"), std::string::npos) << detail;
    EXPECT_TRUE(!root || detail.find("\"dialout\"") != std::string::npos) << detail;
}

// Another process holding the port is named, not taken for a missing permission.
TEST_F(PortPermission, APortHeldByAnotherProcessNamesThatProcess) {
    QtSerialPort holder;
    holder.overrideDevice(1, name);
    ASSERT_TRUE(holder.open(1));
    const std::string detail = inChild([&] { return openDetail(name); });
    EXPECT_NE(detail.find("in use by process " + std::to_string(getpid())), std::string::npos)
        << detail;
    EXPECT_EQ(detail.find("group"), std::string::npos) << detail;
}

}  // namespace
}  // namespace korvel
