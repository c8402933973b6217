// The real serial-port code against the simulated controller on a pseudo-terminal;
// faults that live in timing run there at 19200 baud.
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <set>

#include "kx/master_slave_check.h"
#include "qt_serial/qt_serial_port.h"
#include "service/ports.h"
#include "sim/pty_server.h"
#include "status/status_request.h"
#include "tests/support/recorders.h"
#include "ui_model/kx_routines.h"
#include "ui_model/port_routines.h"
#include "ui_model/zr_routines.h"
#include "zr/zr_report.h"

namespace korvel {
namespace {

using namespace std::chrono_literals;
using sim::FrameData;

struct ZrModule1 final : ZrReportInputs {
    std::optional<std::int32_t> selectedModule() override { return 1; }
    bool permanent() override { return false; }
};

// The descriptors this process holds open on `device`.
std::set<int> descriptorsOn(const std::string& device) {
    std::set<int> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == device)
            found.insert(std::stoi(entry.path().filename().string()));
    }
    return found;
}

struct PtyLine {
    std::optional<sim::PtyServer> server;
    QtSerialPort port;
    SteadyClock clock;
};

struct Pty : ::testing::Test, PtyLine, testing::LinkRig<> {
    Pty() : LinkRig(port, clock) { plugIn(); }
    // A new simulated system on a new device; at the wire's pace when `atWirePace`.
    void plugIn(bool atWirePace = false) {
        server.emplace(sim::demoSystem());
        if (atWirePace) server->setByteTime(std::chrono::nanoseconds(10'000'000'000 / 19200));
        port.overrideDevice(1, server->devicePath());
        // Keep the scan away from real devices of the machine running the tests.
        for (int n = 2; n <= kLastPort; ++n)
            port.overrideDevice(n, "/nonexistent/port" + std::to_string(n));
    }
    void aim(sim::FaultKind kind, FrameData target, std::chrono::milliseconds late = 0ms) {
        server->withController([&](sim::SimController& c) {
            c.faults().aimed = testing::aimedAt(kind, target, late);
        });
    }
    // What the user sees of one action: its message boxes, or its report.
    std::vector<std::string> run(int action) {
        prompter.shown.clear();
        if (action == 0) RunMasterSlaveCheck(link, prompter, registry.kxTypes);
        if (action == 1) prompter.shown.push_back({RunZRReport(link, zr, {}), {}, {}, {}});
        return prompter.texts();
    }

    ModuleRegistry registry = testing::demoRegistry();
    ZrModule1 zr;
};

TEST_F(Pty, ListsOpensAndExchangesFramesByteExactOnAPortNoOneElseHolds) {
    EXPECT_EQ(FillPortList(port), std::vector<int>{1});
    ASSERT_TRUE(PickPort(link, prompter, " 1"));
    ASSERT_TRUE(PickPort(link, prompter, " 1"));  // the exclusive flag does not stick after a close
    QtSerialPort other;
    other.overrideDevice(1, server->devicePath());
    EXPECT_FALSE(other.open(1));
    ASSERT_TRUE(link.Transact(Frame{1, 0}));
    ASSERT_EQ(log.records.size(), 1u);
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ(std::tuple(log.records[0].request, log.records[0].answer),
              std::tuple(Bytes{0x2A, 0x81, 0x80, 0xD5}, Bytes{0x08, 0xF8}));
    EXPECT_TRUE(prompter.shown.empty());
}

// The line left at other settings (9600 baud, 7 data bits, odd parity, two stop
// bits, both kinds of flow control) runs at 19200 8N1 without flow control once
// the program has opened it; the controller's end of the line sees the settings.
TEST_F(Pty, OpeningSetsTheLineTo19200Baud8N1WithoutFlowControl) {
    const int fd = ::open(server->devicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    cfsetspeed(&t, B9600);
    t.c_cflag = (t.c_cflag & ~tcflag_t(CSIZE)) | CS7 | PARENB | PARODD | CSTOPB | CRTSCTS;
    t.c_iflag |= IXON | IXOFF;
    ASSERT_EQ(tcsetattr(fd, TCSANOW, &t), 0);
    ::close(fd);
    ASSERT_TRUE(PickPort(link, prompter, " 1"));
    t = server->lineSettings();
    EXPECT_EQ(
        std::tuple(cfgetispeed(&t), cfgetospeed(&t),
                   t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), t.c_iflag & (IXON | IXOFF)),
        std::tuple(speed_t(B19200), speed_t(B19200), tcflag_t(CS8), 0u));
}

// The kernel fails a read on an adapter pulled out with EIO, which QSerialPort
// reports as a device that disappeared. The port's descriptor is swapped for one
// that fails every read so: one message names the device, and the port is closed.
TEST_F(Pty, AReadFailingWithAnIoErrorIsALostLine) {
    const std::set<int> before = descriptorsOn(server->devicePath());
    ASSERT_TRUE(PickPort(link, prompter, " 1"));
    std::set<int> opened = descriptorsOn(server->devicePath());
    for (int fd : before) opened.erase(fd);
    ASSERT_EQ(opened.size(), 1u);
    const int failing = ::open("/proc/self/mem", O_RDWR);  // address 0 is never mapped: EIO
    ASSERT_GE(failing, 0);
    ASSERT_GE(::dup2(failing, *opened.begin()), 0);
    ::close(failing);
    EXPECT_FALSE(link.Transact(Frame{}));
    ASSERT_EQ(prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
    EXPECT_NE(prompter.shown[0].detail.find(server->devicePath()), std::string::npos);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(Pty, ALineLostInTheCheckIsOneMessageAndThePortIsGone) {
    ASSERT_TRUE(PickPort(link, prompter, " 1"));
    aim(sim::FaultKind::Vanish, {0, 37, 8, 11});
    const auto start = std::chrono::steady_clock::now();
    RunMasterSlaveCheck(link, prompter, registry.kxTypes);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
    EXPECT_EQ(std::tuple(port.isOpen(), link.polling()), std::tuple(false, false));
    prompter.shown.clear();
    EXPECT_FALSE(PickPort(link, prompter, " 1"));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Fout bij openen COM poort"});
}

TEST_F(Pty, AModuleAnsweringSecondsLateCostsOnlyItsBoxesInBothViews) {
    plugIn(true);
    ASSERT_TRUE(PickPort(link, prompter, " 1"));
    for (const bool classic : {false, true}) {
        const StatusFacts clean = *RequestStatus(link, {classic});
        aim(sim::FaultKind::LateAside, classic ? FrameData{1, 3, 1} : FrameData{1, 11, 35}, 3500ms);
        prompter.shown.clear();
        const StatusFacts late = *RequestStatus(link, {classic});
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{kNoAnswer});
        StatusFacts expected = clean;
        expected.summary.capacity.reset();
        for (ModuleFact& m : expected.modules)
            if (m.family == ModuleFamily::KX && m.number == 3) m = ModuleFact{ModuleFamily::KX, 3};
        EXPECT_EQ(late, expected) << classic;
    }
}

// A late answer ends the master/slave check or the ZR report with one box; the
// next run finds the link in step and gives what a clean run gives.
TEST_F(Pty, ALateAnswerEndsTheSequenceAndTheNextRunIsClean) {
    const FrameData targets[] = {{0, 37, 8, 11}, {0, 65, 56, 5}};
    for (int action = 0; action < 2; ++action) {
        plugIn(true);  // no late answer of the other action still on its way
        ASSERT_TRUE(PickPort(link, prompter, " 1"));
        const std::vector<std::string> clean = run(action);
        aim(sim::FaultKind::LateAside, targets[action], 3500ms);
        const std::vector<std::string> late = run(action);
        EXPECT_EQ(std::count(late.begin(), late.end(), kNoAnswer), 1) << "action " << action;
        EXPECT_EQ(run(action), clean) << "action " << action;
    }
}

TEST_F(Pty, OpeningAsksTheDriverForLowLatencyAndARefusalChangesNothing) {
    static std::vector<unsigned long> calls;
    static bool grant = false;
    port.setDriverCall([](int fd, unsigned long request, void* settings) {
        calls.push_back(request);
        if (request == TIOCSSERIAL) {
            EXPECT_TRUE(static_cast<serial_struct*>(settings)->flags & ASYNC_LOW_LATENCY);
        }
        return grant ? 0 : ::ioctl(fd, request, settings);  // a pseudo-terminal refuses
    });
    for (const bool granted : {true, false}) {
        calls.clear();
        grant = granted;
        ASSERT_TRUE(PickPort(link, prompter, " 1"));
        const std::vector<unsigned long> asked{TIOCGSERIAL, TIOCSSERIAL};
        EXPECT_EQ(calls, std::vector(asked.begin(), asked.begin() + (granted ? 2 : 1)));
        EXPECT_TRUE(link.Transact(Frame{}));
    }
}

}  // namespace
}  // namespace korvel
