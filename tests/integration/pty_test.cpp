// The real serial-port code against the simulated controller on a pseudo-terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <optional>

#include "kx/master_slave_check.h"
#include "link/ports.h"
#include "qt_serial/qt_serial_port.h"
#include "sim/pty_server.h"
#include "tests/support/recorders.h"

namespace korvel {
namespace {

using namespace std::chrono_literals;
using sim::FrameData;
using WallClock = std::chrono::steady_clock;

const char* const kVerdictOk =
    "KX-H 0 is master\r\nKX44  2.0 is slave\r\nKX-H 5 is slave\r\nKX44  2.1 is slave\r\n\r\n"
    "Your master/slave settings are OK";

struct Pty : ::testing::Test {
    Pty() : server(std::in_place, sim::demoSystem()) { useDevice(server->devicePath()); }
    void useDevice(const std::string& path) {
        port.overrideDevice(1, path);
        // Keep the scan away from real devices of the machine running the tests.
        for (int n = 2; n <= kLastPort; ++n)
            port.overrideDevice(n, "/nonexistent/port" + std::to_string(n));
    }
    void aim(sim::FaultKind kind, FrameData target, std::chrono::milliseconds late = 0ms) {
        server->withController([&](sim::SimController& c) {
            c.faults().aimed = sim::AimedFault{
                kind, [target](const FrameData& f) { return f == target; }, 0, late};
        });
    }
    double secondsFor(auto&& f) {
        const auto start = WallClock::now();
        f();
        return std::chrono::duration<double>(WallClock::now() - start).count();
    }

    std::optional<sim::PtyServer> server;
    QtSerialPort port;
    SteadyClock clock;
    testing::RecordingPrompter prompter;
    testing::StringLog log;
    testing::PollRecorder poll;
    Link link{port, clock, prompter, log, poll};
    ModuleRegistry registry = testing::demoRegistry();
};

TEST_F(Pty, ListsOpensAndExchangesFramesByteExactOnAPortNoOneElseHolds) {
    EXPECT_EQ(FillPortList(port), std::vector<int>{1});
    ASSERT_TRUE(PickPort(link, " 1"));
    ASSERT_TRUE(PickPort(link, " 1"));  // the exclusive flag does not stick after a close
    QtSerialPort other;
    other.overrideDevice(1, server->devicePath());
    EXPECT_FALSE(other.open(1));
    ASSERT_TRUE(link.Transact(Frame{1, 0}));
    EXPECT_EQ(log.text, ">> 2A 01 00 55" + std::string(17, ' ') + "<< 08 78\r\n");
    EXPECT_TRUE(prompter.shown.empty());
}

// Past the 2 s the check ends; the late answer, arriving meanwhile, is not taken
// for the next request's.
TEST_F(Pty, ALateAnswerEndsTheCheckAndIsNotTakenForTheNextOne) {
    ASSERT_TRUE(PickPort(link, " 1"));
    aim(sim::FaultKind::Late, {0, 37, 8, 11}, 2100ms);
    const double waited = secondsFor([&] { RunMasterSlaveCheck(link, registry.kxTypes); });
    EXPECT_GE(waited, 2.0);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
    EXPECT_TRUE(port.waitForReadyRead(1000ms));
    prompter.shown.clear();
    RunMasterSlaveCheck(link, registry.kxTypes);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{kVerdictOk});
}

TEST_F(Pty, ALineLostInTheCheckIsOneMessageThenAPortIsAskedFor) {
    ASSERT_TRUE(PickPort(link, " 1"));
    aim(sim::FaultKind::Vanish, {0, 37, 8, 11});
    EXPECT_LT(secondsFor([&] { RunMasterSlaveCheck(link, registry.kxTypes); }), 1.0);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(link.polling());
    prompter.shown.clear();
    RunMasterSlaveCheck(link, registry.kxTypes);
    EXPECT_FALSE(PickPort(link, " 1"));
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Selecteer communicatie poort",
                                                          "Fout bij openen COM poort"}));
    server.emplace(sim::demoSystem());
    useDevice(server->devicePath());
    ASSERT_TRUE(PickPort(link, " 1"));
    prompter.shown.clear();
    RunMasterSlaveCheck(link, registry.kxTypes);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{kVerdictOk});
}

// With a byte time set, no answer byte leaves before the request is in and the
// bytes before it have had their time. Only lower bounds: a busy machine may be late.
TEST(PtyLine, NoByteIsEarlierThanTheWireAllows) {
    constexpr auto kByte = 20ms;
    sim::PtyServer server(sim::demoSystem());
    server.setByteTime(kByte);
    const int fd = ::open(server.devicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    std::vector<std::uint8_t> frames = encodeRequest(Frame{}, false, false);
    const std::vector<std::uint8_t> second = encodeRequest(Frame{}, false, true);
    frames.insert(frames.end(), second.begin(), second.end());
    const auto start = WallClock::now();
    ASSERT_EQ(::write(fd, frames.data(), frames.size()), 4);
    std::vector<WallClock::duration> arrivals;
    while (arrivals.size() < 4 && WallClock::now() - start < 5s) {
        pollfd p{fd, POLLIN, 0};
        std::uint8_t buffer[8];
        if (::poll(&p, 1, 100) <= 0) continue;
        for (ssize_t i = 0, n = ::read(fd, buffer, sizeof buffer); i < n; ++i)
            arrivals.push_back(WallClock::now() - start);
    }
    ::close(fd);
    ASSERT_EQ(arrivals.size(), 4u);
    // Two bytes in, then the answer's two bytes; the second frame's answer after its own.
    for (std::size_t k = 0; k < 4; ++k) EXPECT_GE(arrivals[k], (3 + long(k)) * kByte) << k;
}

}  // namespace
}  // namespace korvel
