#include <gtest/gtest.h>

#include "sim/handlers.h"
#include "tests/support/recorders.h"

namespace korvel {
namespace {

using namespace std::chrono_literals;
using sim::AimedFault;
using sim::FaultKind;
using sim::FrameData;
using testing::SimBench;

const FrameData kSetHfi9{0, 32, 8, 1, 9};

struct Aimed : ::testing::Test {
    Aimed() { b.openPort(); }
    void aim(FaultKind kind, FrameData target, int frames = 0,
             std::chrono::milliseconds late = 0ms) {
        b.controller.faults().aimed =
            AimedFault{kind, [target](const FrameData& f) { return f == target; }, frames, late};
    }
    int hfiOfModule0() {
        return sim::findModule(b.controller.system(), sim::ModuleFamily::KX, 0)->kxActive.value[1];
    }
    FrameData answerData() const {
        const ReplyBuffer& r = b.link.reply();
        return FrameData(r.bytes.begin() + 1, r.bytes.begin() + 1 + r.dataCount());
    }
    SimBench b;
};

TEST_F(Aimed, ALostFrameIsNeitherActedOnNorAnsweredAndOnlyTheFirstMatchIsHit) {
    aim(FaultKind::NoAnswer, kSetHfi9);
    EXPECT_TRUE(b.link.Transact(Frame{0, 32, 8, 1, 8}));  // not the target
    EXPECT_FALSE(b.link.Transact(Frame{0, 32, 8, 1, 9}));
    EXPECT_EQ(hfiOfModule0(), 8);
    EXPECT_TRUE(b.link.Transact(Frame{0, 32, 8, 1, 9}));
    EXPECT_EQ(hfiOfModule0(), 9);
    EXPECT_FALSE(b.controller.faults().aimed);
}

TEST_F(Aimed, ADamagedAnswerStillLeavesTheCommandDone) {
    aim(FaultKind::BadCheck, kSetHfi9);
    const auto start = b.clock.now();
    EXPECT_FALSE(b.link.Transact(Frame{0, 32, 8, 1, 9}));
    EXPECT_LT(b.clock.now() - start, 100ms);
    EXPECT_EQ(hfiOfModule0(), 9);
    EXPECT_EQ(b.controller.pendingMessages(), 1u);
}

TEST_F(Aimed, ADelayedControllerAnswerIsFetchedByTheNthFrameAfter) {
    aim(FaultKind::DelayFrames, {1, 11, 32}, 2);
    ASSERT_TRUE(b.link.Transact(Frame{1, 11, 32}));
    EXPECT_EQ(answerData(), FrameData{});
    ASSERT_TRUE(b.link.Transact(Frame{}));
    EXPECT_EQ(answerData(), FrameData{});
    ASSERT_TRUE(b.link.Transact(Frame{}));
    EXPECT_EQ(answerData(), (FrameData{1, 11, 32, 0x08, 16, 11}));
}

TEST_F(Aimed, ADelayedModuleAnswerComesThatManyFramesAfterTheClosingFrame) {
    aim(FaultKind::DelayFrames, {0, 32, 8, 1}, 1);
    ASSERT_TRUE(b.link.Transact(Frame{0, 32, 8, 1}));
    ASSERT_TRUE(b.link.Transact(Frame{}));
    EXPECT_EQ(answerData(), FrameData{});
    ASSERT_TRUE(b.link.Transact(Frame{}));
    EXPECT_EQ(answerData(), (FrameData{0, 32, 10, 1, 7}));
}

TEST_F(Aimed, AVanishedLineComesBackOnReconnect) {
    aim(FaultKind::Vanish, {1, 0});
    EXPECT_FALSE(b.link.Transact(Frame{1, 0}));
    EXPECT_FALSE(b.port.isOpen());
    EXPECT_EQ(b.controller.system().resetFaultCount, 1);
    b.controller.reconnect();
    b.openPort();
    EXPECT_TRUE(b.link.Transact(Frame{1, 0}));
    b.controller.clearRecords();
    EXPECT_TRUE(b.frames().empty());
}

}  // namespace
}  // namespace korvel
