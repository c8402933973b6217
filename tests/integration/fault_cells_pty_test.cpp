// Cells of the fault matrix over the real serial-port code: a late answer and a
// vanishing line in the middle of a sequence, and the program usable after.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "kx/master_slave_check.h"
#include "link/ports.h"
#include "qt_serial/qt_serial_port.h"
#include "sim/pty_server.h"
#include "status/status_request.h"
#include "tests/support/recorders.h"

namespace korvel {
namespace {

using namespace std::chrono_literals;
using sim::FrameData;

const std::vector<FrameData> kQuestions{
    {0, 32, 8, 11}, {0, 34, 8, 11}, {0, 37, 8, 11}, {0, 34, 24, 11}};
const char* const kVerdictOk =
    "KX-H 0 is master\r\nKX44  2.0 is slave\r\nKX-H 5 is slave\r\nKX44  2.1 is slave\r\n\r\n"
    "Your master/slave settings are OK";

struct FaultOverPty : ::testing::Test {
    FaultOverPty() : server(std::in_place, sim::demoSystem()) {
        useDevice(server->devicePath());
        registry.kxTypes[0] = registry.kxTypes[5] = kKxH;
        registry.kxTypes[2] = registry.kxTypes[18] = kKx44;
    }
    void useDevice(const std::string& path) {
        port.overrideDevice(1, path);
        for (int n = 2; n <= kLastPort; ++n)
            port.overrideDevice(n, "/nonexistent/port" + std::to_string(n));
    }
    void aim(sim::FaultKind kind, FrameData target, std::chrono::milliseconds late = 0ms) {
        server->withController([&](sim::SimController& c) {
            c.faults().aimed = sim::AimedFault{
                kind, [target](const FrameData& f) { return f == target; }, 0, late};
        });
    }
    std::vector<FrameData> commands() {
        return server->withController([](sim::SimController& c) {
            std::vector<FrameData> out;
            for (const FrameData& f : c.framesReceived())
                if (!f.empty() && f[0] == 0) out.push_back(f);
            return out;
        });
    }
    double secondsFor(auto&& f) {
        const auto start = std::chrono::steady_clock::now();
        f();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    std::optional<sim::PtyServer> server;
    QtSerialPort port;
    SteadyClock clock;
    testing::RecordingPrompter prompter;
    testing::StringLog log;
    testing::PollRecorder poll;
    Link link{port, clock, prompter, log, poll};
    ModuleRegistry registry;
};

TEST_F(FaultOverPty, AnswerAfterTwoSecondsEndsTheCheckAndIsDiscardedByTheNextOne) {
    ASSERT_TRUE(PickPort(link, " 1"));
    aim(sim::FaultKind::Late, {0, 37, 8, 11}, 2100ms);
    const double waited = secondsFor([&] { RunMasterSlaveCheck(link, registry.kxTypes); });
    EXPECT_GE(waited, 2.0);
    EXPECT_LT(waited, 3.0);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
    EXPECT_EQ(commands(), std::vector<FrameData>(kQuestions.begin(), kQuestions.begin() + 3));
    // The log line of the question to module 5 ends without an answer.
    const std::string last = log.text.substr(log.text.rfind(">>"));
    EXPECT_EQ(last.substr(5, 12), " 00 25 08 0B");
    EXPECT_EQ(last.substr(20), std::string(9, ' ') + "\r\n");
    EXPECT_FALSE(link.polling());

    // The answer does come, while the user reads the message.
    EXPECT_TRUE(port.waitForReadyRead(1000ms));
    prompter.shown.clear();
    RunMasterSlaveCheck(link, registry.kxTypes);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{kVerdictOk});
}

TEST_F(FaultOverPty, LineLostInTheCheckIsOneMessageThenAPortIsAskedFor) {
    ASSERT_TRUE(PickPort(link, " 1"));
    aim(sim::FaultKind::Vanish, {0, 37, 8, 11});
    const double waited = secondsFor([&] { RunMasterSlaveCheck(link, registry.kxTypes); });
    EXPECT_LT(waited, 1.0);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(link.polling());

    prompter.shown.clear();
    RunMasterSlaveCheck(link, registry.kxTypes);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Selecteer communicatie poort"});
    // The device has gone with the adapter.
    EXPECT_FALSE(PickPort(link, " 1"));
    EXPECT_EQ(prompter.texts().back(), "Fout bij openen COM poort");

    // Plugged in again, the port is picked anew and the check works.
    server.emplace(sim::demoSystem());
    useDevice(server->devicePath());
    ASSERT_TRUE(PickPort(link, " 1"));
    prompter.shown.clear();
    RunMasterSlaveCheck(link, registry.kxTypes);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{kVerdictOk});
}

TEST_F(FaultOverPty, LineLostInTheStatusRequestEndsItQuicklyWithOneMessage) {
    ASSERT_TRUE(PickPort(link, " 1"));
    ASSERT_TRUE(RequestStatus(link, registry, false));
    const ModuleRegistry before = registry;
    ASSERT_FALSE(before.kxList.empty());
    aim(sim::FaultKind::Vanish, {1, 11, 34});
    std::optional<StatusReport> report;
    const double waited = secondsFor([&] { report = RequestStatus(link, registry, false); });
    EXPECT_LT(waited, 1.0);
    EXPECT_FALSE(report);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
    // The lists of the last complete request stay; a half request registers nothing.
    EXPECT_EQ(registry.kxList.entries, before.kxList.entries);
    EXPECT_EQ(registry.zrList.entries, before.zrList.entries);
    EXPECT_FALSE(port.isOpen());
}

}  // namespace
}  // namespace korvel
