#include <gtest/gtest.h>

#include "link/ports.h"
#include "tests/support/recorders.h"

namespace korvel {
namespace {

using testing::SimBench;

TEST(Transaction, ToggleBitAlternatesAlsoAfterAFailure) {
    SimBench b;
    b.openPort();
    b.link.setStopFlag(false);
    b.controller.faults().skipAnswers = 1;
    EXPECT_FALSE(b.link.Transact(Frame{}));
    EXPECT_TRUE(b.link.Transact(Frame{}));
    EXPECT_TRUE(b.link.Transact(Frame{}));
    EXPECT_EQ(b.controller.headersReceived(), (std::vector<std::uint8_t>{0x08, 0x48, 0x08}));
}

TEST(Transaction, StopFlagRidesInBit5) {
    SimBench b;
    b.openPort();
    EXPECT_TRUE(b.link.Transact(Frame{}));
    EXPECT_EQ(b.port.written(), (std::vector<std::uint8_t>{0x28, 0xD8}));
}

TEST(Transaction, LogLineOfARequestWithData) {
    SimBench b;
    b.openPort();
    ASSERT_TRUE(b.link.Transact(Frame{0, 33}));
    EXPECT_EQ(b.log.text, ">> 2A 00 21 35" + std::string(17, ' ') + "<< 08 78\r\n");
    EXPECT_TRUE(b.link.polling());
}

TEST(Transaction, UnansweredRequestEndsItsLineShowsTheMessageAndStopsPolling) {
    SimBench b;
    b.openPort();
    ASSERT_TRUE(b.link.Transact(Frame{}));
    ASSERT_TRUE(b.link.polling());
    b.controller.faults().silent = true;
    EXPECT_FALSE(b.link.Transact(Frame{1, 3, 1}));
    EXPECT_EQ(b.log.text, ">> 6B 01 03 01 10" + std::string(12, ' ') + "\r\n");
    ASSERT_EQ(b.prompter.shown.size(), 1u);
    EXPECT_EQ(b.prompter.shown[0].text, "Geen antwoord van Korvel");
    EXPECT_EQ(b.prompter.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_FALSE(b.link.polling());
    // An unanswered empty frame adds an empty line.
    EXPECT_FALSE(b.link.Transact(Frame{}));
    EXPECT_EQ(b.log.text.substr(b.log.text.size() - 4), "\r\n\r\n");
}

TEST(Transaction, EmptyPollsLogOnlyAnswersThatCarryData) {
    SimBench b;
    b.openPort();
    b.link.pollTick();
    EXPECT_EQ(b.log.text, "");
    b.controller.queueMessage({0, 35, 10, 1, 12});
    b.link.pollTick();
    EXPECT_EQ(b.log.text, ">> 68 18" + std::string(21, ' ') + "  << 0D 00 23 0A 01 0C 39\r\n");
}

TEST(Transaction, AnswersWithDataReachTheListenerOnlyFromEmptyFrames) {
    SimBench b;
    b.openPort();
    std::vector<ReplyBuffer> handed;
    b.link.setAnswerListener([&](const ReplyBuffer& r) { handed.push_back(r); });
    b.link.pollTick();  // an empty answer is nobody's business
    b.controller.queueMessage({0, 35, 10, 1, 12});
    b.link.pollTick();
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0][5], 12);

    // The same bytes answering a request with data are not decoded.
    b.controller.faults().skipAnswers = 0;
    b.port.inject(sim::SimController::encodeAnswer({0, 35, 10, 1, 12}));
    b.link.Transact(Frame{1, 0});
    EXPECT_EQ(handed.size(), 1u);
}

TEST(Transaction, LeftoverBytesAreDrainedBeforeTheRequest) {
    SimBench b;
    b.openPort();
    b.port.inject(sim::SimController::encodeAnswer({0, 35, 10, 1, 12}));
    ASSERT_TRUE(b.link.Transact(Frame{}));
    EXPECT_EQ(b.link.reply()[0], 0x08);
}

TEST(Transaction, PollingStopsWhenThePortIsClosed) {
    SimBench b;
    b.openPort();
    b.link.pollTick();
    EXPECT_TRUE(b.link.polling());
    b.port.close();
    b.link.pollTick();
    EXPECT_FALSE(b.link.polling());
    EXPECT_EQ(b.frames().size(), 1u);
}

TEST(Transaction, FaultyAnswersCountAsNoAnswerAndGarbageIsSkipped) {
    SimBench b;
    b.openPort();
    b.controller.faults().badCheckAnswers = 1;
    EXPECT_FALSE(b.link.Transact(Frame{1, 0}));
    b.controller.faults().garbageAnswers = 1;
    EXPECT_TRUE(b.link.Transact(Frame{1, 0}));
    b.controller.faults().answerDelay = std::chrono::milliseconds(1900);
    EXPECT_TRUE(b.link.Transact(Frame{1, 0}));
    b.controller.faults().answerDelay = std::chrono::milliseconds(2100);
    EXPECT_FALSE(b.link.Transact(Frame{1, 0}));
}

TEST(Ports, ListsOnlyPortsThatOpenAndLeavesThemClosed) {
    SimBench b;
    b.port.availablePorts = {1, 3, 17};
    EXPECT_EQ(FillPortList(b.port), (std::vector<int>{1, 3}));
    EXPECT_FALSE(b.port.isOpen());
    EXPECT_EQ(portEntryText(3), " 3");
}

TEST(Ports, PickingAnotherPortClosesTheFirstAndStopsPolling) {
    SimBench b;
    b.port.availablePorts = {1, 3};
    ASSERT_TRUE(PickPort(b.link, " 1"));
    b.link.pollTick();
    ASSERT_TRUE(b.link.polling());
    ASSERT_TRUE(PickPort(b.link, " 3"));
    EXPECT_EQ(b.port.openedPort(), 3);
    EXPECT_FALSE(b.link.polling());
}

TEST(Ports, ABusyPortShowsTheOpenErrorAndStaysClosed) {
    SimBench b;
    b.port.availablePorts = {1, 3};
    b.port.busyPorts = {3};
    EXPECT_FALSE(PickPort(b.link, " 3"));
    EXPECT_FALSE(b.port.isOpen());
    EXPECT_EQ(b.prompter.texts(), std::vector<std::string>{"Fout bij openen COM poort"});
}

TEST(Ports, RefreshClosesTheOpenPort) {
    SimBench b;
    ASSERT_TRUE(PickPort(b.link, " 1"));
    EXPECT_EQ(RefreshPorts(b.link), std::vector<int>{1});
    EXPECT_FALSE(b.port.isOpen());
}

TEST(Ports, DeviceNamesOnLinux) {
    EXPECT_EQ(portDeviceName(1), "/dev/ttyS0");
    EXPECT_EQ(portDeviceName(4), "/dev/ttyS3");
    EXPECT_EQ(portDeviceName(5), "/dev/ttyUSB0");
    EXPECT_EQ(portDeviceName(12), "/dev/ttyUSB7");
    EXPECT_EQ(portDeviceName(13), "/dev/ttyACM0");
    EXPECT_EQ(portDeviceName(16), "/dev/ttyACM3");
    EXPECT_EQ(portDeviceName(17), "");
}

}  // namespace
}  // namespace korvel
