// Faults that live in timing, over the real serial-port code at 19200 baud: an
// answer that comes seconds late; and the driver's low-latency request.
#include <gtest/gtest.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

#include "kx/master_slave_check.h"
#include "link/ports.h"
#include "qt_serial/qt_serial_port.h"
#include "sim/pty_server.h"
#include "status/status_request.h"
#include "tests/support/recorders.h"
#include "zr/zr_report.h"

namespace korvel {
namespace {

using namespace std::chrono_literals;
using sim::FrameData;

struct ZrModule1 final : ZrReportInputs {
    std::optional<std::int32_t> selectedModule() override { return 1; }
    bool permanent() override { return false; }
};

struct LateOverPty : ::testing::Test {
    LateOverPty() { plugIn(); }
    void plugIn() {
        server.emplace(sim::demoSystem());
        server->setByteTime(std::chrono::nanoseconds(10'000'000'000 / 19200));
        port.overrideDevice(1, server->devicePath());
        for (int n = 2; n <= kLastPort; ++n)
            port.overrideDevice(n, "/nonexistent/" + std::to_string(n));
        registry.kxTypes[0] = registry.kxTypes[5] = kKxH;
        registry.kxTypes[2] = registry.kxTypes[18] = kKx44;
    }
    void aimLate(FrameData target, std::chrono::milliseconds late) {
        server->withController([&](sim::SimController& c) {
            c.faults().aimed =
                sim::AimedFault{sim::FaultKind::LateAside,
                                [target](const FrameData& f) { return f == target; }, 0, late};
        });
    }
    // What the user sees of one action: its message boxes, or its report.
    std::vector<std::string> run(int action) {
        prompter.shown.clear();
        if (action == 0) RunMasterSlaveCheck(link, registry.kxTypes);
        if (action == 1) prompter.shown.push_back({RunZRReport(link, zr, {}), {}, {}, {}});
        return prompter.texts();
    }

    std::optional<sim::PtyServer> server;
    QtSerialPort port;
    SteadyClock clock;
    testing::RecordingPrompter prompter;
    testing::StringLog log;
    testing::PollRecorder poll;
    Link link{port, clock, prompter, log, poll};
    ModuleRegistry registry;
    ZrModule1 zr;
};

TEST_F(LateOverPty, AModuleAnsweringSecondsLateCostsOnlyItsBoxesInBothViews) {
    ASSERT_TRUE(PickPort(link, " 1"));
    for (const bool classic : {false, true}) {
        const StatusReport clean = *RequestStatus(link, registry, classic);
        aimLate(classic ? FrameData{1, 3, 1} : FrameData{1, 11, 35}, 3500ms);
        prompter.shown.clear();
        const StatusReport late = *RequestStatus(link, registry, classic);
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{kNoAnswer});
        StatusReport expected = clean;
        if (classic) {
            std::get<ClassicStatusTexts>(expected.dialog).cap = "Unknown";
            EXPECT_EQ(std::get<ClassicStatusTexts>(late.dialog),
                      std::get<ClassicStatusTexts>(expected.dialog));
        } else {
            auto& t = std::get<StandardStatusTexts>(expected.dialog);
            t.kxStatus[3] = t.kxType[3] = t.kxVersion[3] = "-";
            EXPECT_EQ(std::get<StandardStatusTexts>(late.dialog), t);
        }
    }
}

// A late answer ends the master/slave check or the ZR report with one box; the
// next run finds the link in step and gives what a clean run gives.
TEST_F(LateOverPty, ALateAnswerEndsTheSequenceAndTheNextRunIsClean) {
    const FrameData targets[] = {{0, 37, 8, 11}, {0, 65, 56, 5}};
    for (int action = 0; action < 2; ++action) {
        plugIn();  // no late answer of the other action still on its way
        ASSERT_TRUE(PickPort(link, " 1"));
        const std::vector<std::string> clean = run(action);
        aimLate(targets[action], 3500ms);
        const std::vector<std::string> late = run(action);
        EXPECT_EQ(std::count(late.begin(), late.end(), kNoAnswer), 1) << "action " << action;
        EXPECT_EQ(run(action), clean) << "action " << action;
    }
}

TEST_F(LateOverPty, OpeningAsksTheDriverForLowLatencyAndARefusalChangesNothing) {
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
        ASSERT_TRUE(PickPort(link, " 1"));
        const std::vector<unsigned long> asked{TIOCGSERIAL, TIOCSSERIAL};
        EXPECT_EQ(calls, std::vector(asked.begin(), asked.begin() + (granted ? 2 : 1)));
        EXPECT_TRUE(link.Transact(Frame{}));
    }
}

}  // namespace
}  // namespace korvel
