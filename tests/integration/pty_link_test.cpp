// The real serial-port code against the simulated controller on a pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>

#include "link/link.h"
#include "link/ports.h"
#include "qt_serial/qt_serial_port.h"
#include "sim/pty_server.h"
#include "tests/support/recorders.h"

namespace korvel {
namespace {

using namespace std::chrono_literals;

struct PtyLink : ::testing::Test {
    PtyLink() : server(sim::demoSystem()) {
        port.overrideDevice(1, server.devicePath());
        // Keep the scan away from real devices of the machine running the tests.
        for (int n = 2; n <= kLastPort; ++n)
            port.overrideDevice(n, "/nonexistent/port" + std::to_string(n));
    }
    template <class F>
    auto sim(F&& f) {
        return server.withController(std::forward<F>(f));
    }
    double secondsFor(auto&& f) {
        const auto start = std::chrono::steady_clock::now();
        f();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    sim::PtyServer server;
    QtSerialPort port;
    SteadyClock clock;
    testing::RecordingPrompter prompter;
    testing::StringLog log;
    testing::PollRecorder poll;
    Link link{port, clock, prompter, log, poll};
};

TEST_F(PtyLink, ListsOpensAndExchangesFramesByteExact) {
    EXPECT_EQ(FillPortList(port), std::vector<int>{1});
    EXPECT_FALSE(port.isOpen());
    ASSERT_TRUE(PickPort(link, " 1"));
    // Reopening after a close works too (the exclusive flag does not stick).
    ASSERT_TRUE(PickPort(link, " 1"));
    ASSERT_TRUE(link.Transact(Frame{1, 0}));
    EXPECT_EQ(log.text, ">> 2A 01 00 55" + std::string(17, ' ') + "<< 08 78\r\n");
    ASSERT_TRUE(link.Transact(Frame{}));
    EXPECT_EQ(sim([](sim::SimController& c) { return c.headersReceived(); }),
              (std::vector<std::uint8_t>{0x2A, 0x68}));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(PtyLink, AnswerJustInsideTheTimeIsTakenOneJustOutsideIsNot) {
    ASSERT_TRUE(PickPort(link, " 1"));
    sim([](sim::SimController& c) { c.faults().answerDelay = 1900ms; });
    EXPECT_TRUE(link.Transact(Frame{1, 0}));
    sim([](sim::SimController& c) { c.faults().answerDelay = 2100ms; });
    const double waited = secondsFor([&] { EXPECT_FALSE(link.Transact(Frame{1, 0})); });
    EXPECT_GE(waited, 2.0);
    EXPECT_LT(waited, 2.5);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
}

TEST_F(PtyLink, BusyPortCannotBeOpenedTwice) {
    QtSerialPort other;
    other.overrideDevice(1, server.devicePath());
    ASSERT_TRUE(PickPort(link, " 1"));
    EXPECT_FALSE(other.open(1));
    EXPECT_FALSE(other.openErrorDetail().empty());
}

}  // namespace
}  // namespace korvel
