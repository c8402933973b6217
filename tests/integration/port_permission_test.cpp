// A device the user may not open: the message names the cause and the group to join.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Root may open anything, so the attempt runs in a child that has become nobody.
std::string openDetailAsUnprivileged(const std::string& device) {
    if (geteuid() != 0) return openDetail(device);
    int fds[2];
    if (pipe(fds) != 0) return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        ::close(fds[0]);
        std::string detail = "could not drop privileges";
        if (setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0)
            detail = openDetail(device);
        if (write(fds[1], detail.data(), detail.size()) < 0) _exit(2);
        _exit(0);
    }
    ::close(fds[1]);
    std::string detail;
    char buffer[512];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        detail.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return detail;
}

TEST(PortPermission, DetailNamesTheSystemErrorAndTheOwningGroup) {
    const group* dialout = getgrnam("dialout");
    if (!dialout) GTEST_SKIP() << "no group dialout on this machine";
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    const std::string device = name;
    if (geteuid() == 0) {
        ASSERT_EQ(chown(name, 0, dialout->gr_gid), 0);
        ASSERT_EQ(chmod(name, 0660), 0);
    } else {
        ASSERT_EQ(chmod(name, 0), 0);  // our own device, made unreadable to ourselves
    }

    const std::string detail = openDetailAsUnprivileged(device);
    ::close(slave);
    ::close(master);

    EXPECT_NE(detail.find(device), std::string::npos) << detail;
    EXPECT_NE(detail.find("ermission"), std::string::npos) << detail;
    if (geteuid() == 0) {
        EXPECT_NE(detail.find("\"dialout\""), std::string::npos) << detail;
    }
}

// Another process holding the port is named, not taken for a missing permission.
TEST(PortPermission, APortHeldByAnotherProcessNamesThatProcess) {
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    int ready[2], done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    const pid_t child = fork();
    if (child == 0) {
        QtSerialPort holder;
        holder.overrideDevice(1, name);
        const char opened = holder.open(1) ? 'y' : 'n';
        if (write(ready[1], &opened, 1) != 1) _exit(2);
        char end;
        if (read(done[0], &end, 1) < 0) _exit(2);
        _exit(0);
    }
    char opened = 0;
    ASSERT_EQ(read(ready[0], &opened, 1), 1);
    const std::string detail = opened == 'y' ? openDetail(name) : "the holder could not open";
    ASSERT_EQ(write(done[1], "x", 1), 1);
    int status = 0;
    waitpid(child, &status, 0);
    for (int fd : {ready[0], ready[1], done[0], done[1], slave, master}) ::close(fd);

    EXPECT_NE(detail.find("in use by process " + std::to_string(child)), std::string::npos)
        << detail;
    EXPECT_EQ(detail.find("group"), std::string::npos) << detail;
}

}  // namespace
}  // namespace korvel
