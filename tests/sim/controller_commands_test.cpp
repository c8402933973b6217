#include <gtest/gtest.h>

#include "sim/handlers.h"
#include "tests/support/recorders.h"

namespace korvel {
namespace {

using sim::FrameData;
using testing::SimBench;

// The answer's data values as the link received them.
FrameData answerTo(SimBench& b, const Frame& request) {
    EXPECT_TRUE(b.link.Transact(request));
    const ReplyBuffer& r = b.link.reply();
    return FrameData(r.bytes.begin() + 1, r.bytes.begin() + 1 + r.dataCount());
}

struct SimStatus : ::testing::Test {
    SimStatus() { b.openPort(); }
    SimBench b;
};

TEST_F(SimStatus, ControllerQueriesCarryVersionDigitsAndStatusBits) {
    b.controller.system().statusCode = 3;
    EXPECT_EQ(answerTo(b, Frame{1, 2}), (FrameData{1, 2, 25, 1}));  // 3101
    EXPECT_EQ(b.link.reply().header() & 0x30, 0x30);
    EXPECT_EQ(answerTo(b, Frame{1, 10}), (FrameData{1, 10, 2, 8, 16}));  // VG-U 1020
    EXPECT_EQ(b.link.reply().header() & 0x30, 0);
}

TEST_F(SimStatus, ModuleQueriesByBusAddress) {
    EXPECT_EQ(answerTo(b, Frame{1, 11, 32}), (FrameData{1, 11, 32, 0x08, 16, 11}));  // KX-H 2013
    EXPECT_EQ(answerTo(b, Frame{1, 11, 34}), (FrameData{1, 11, 34, 0x09, 8, 15}));   // KX44 1017
    EXPECT_EQ(answerTo(b, Frame{1, 11, 2}), (FrameData{1, 11, 2, 0x09, 8, 15}));  // its second half
    EXPECT_EQ(answerTo(b, Frame{1, 11, 0}), (FrameData{1, 11, 0, 0, 0, 0}));      // a KX-H has none
    EXPECT_EQ(answerTo(b, Frame{1, 11, 37}), (FrameData{1, 11, 37, 0x18, 16, 11}));  // idle
    EXPECT_EQ(answerTo(b, Frame{1, 11, 65}), (FrameData{1, 11, 65, 0x08, 8, 25}));   // ZR 1031
    EXPECT_EQ(answerTo(b, Frame{1, 11, 100}), (FrameData{1, 11, 100, 0x08, 8, 5}));  // QH 1005
    EXPECT_EQ(answerTo(b, Frame{1, 11, 33}), (FrameData{1, 11, 33, 0, 0, 0}));
    EXPECT_EQ(answerTo(b, Frame{1, 11, 20}), (FrameData{1, 11, 20, 0, 0, 0}));
}

TEST_F(SimStatus, ClassicSummaries) {
    sim::findModule(b.controller.system(), sim::ModuleFamily::KX, 3)->status |= sim::kFaultOrHold;
    EXPECT_EQ(answerTo(b, Frame{1, 3, 1}), (FrameData{1, 3, 16, 87}));
    EXPECT_EQ(answerTo(b, Frame{1, 3, 0}), (FrameData{1, 3, 0x05}));
    // KX at 0, 2, 3, 5: bits 0, 2, 3 of the first byte and bit 1 of the second.
    EXPECT_EQ(answerTo(b, Frame{1, 3, 2}), (FrameData{1, 3, 0x2D, 0x02, 0, 0}));
    EXPECT_EQ(answerTo(b, Frame{1, 3, 3}), (FrameData{1, 3, 0x38, 0, 0, 0}));
    EXPECT_EQ(answerTo(b, Frame{1, 3, 4}), (FrameData{1, 3, 0x48, 0, 0, 0}));
    EXPECT_EQ(answerTo(b, Frame{1, 3, 6}), (FrameData{1, 3, 0x62, 0x04}));  // ZR 1 and 6
    EXPECT_EQ(answerTo(b, Frame{1, 3, 127}), (FrameData{1, 3}));
}

TEST_F(SimStatus, ResetFaultClearsTheFaultBit) {
    b.controller.system().statusCode = 3;
    EXPECT_EQ(answerTo(b, Frame{1, 0}), FrameData{});
    EXPECT_EQ(b.controller.system().statusCode, 1);
    EXPECT_EQ(b.controller.system().resetFaultCount, 1);
}

TEST_F(SimStatus, QueuedProtocolAnswerWaitsBehindHeldMessages) {
    b.controller.faults().protocolAnswer = sim::ProtocolAnswer::Queued;
    b.controller.queueMessage({0, 64, 7});
    EXPECT_EQ(answerTo(b, Frame{1, 2}), FrameData{});
    EXPECT_EQ(answerTo(b, Frame{}), (FrameData{0, 64, 7}));
    EXPECT_EQ(answerTo(b, Frame{}), (FrameData{1, 2, 25, 1}));
    EXPECT_EQ(answerTo(b, Frame{}), FrameData{});
}

TEST_F(SimStatus, NeverAnsweredProtocolStillCarriesTheStatusBits) {
    b.controller.faults().protocolAnswer = sim::ProtocolAnswer::Never;
    b.controller.system().statusCode = 1;
    EXPECT_EQ(answerTo(b, Frame{1, 2}), FrameData{});
    EXPECT_EQ(b.link.reply().header() & 0x30, 0x10);
    EXPECT_EQ(answerTo(b, Frame{}), FrameData{});
}

TEST_F(SimStatus, UnknownControllerCommandsGetAnEmptyAnswer) {
    EXPECT_EQ(answerTo(b, Frame{1, 99, 1}), FrameData{});
    EXPECT_EQ(answerTo(b, Frame{1}), FrameData{});
}

}  // namespace
}  // namespace korvel
