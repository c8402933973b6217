#include <gtest/gtest.h>

#include "tests/support/recorders.h"

namespace korvel {
namespace {

using namespace std::chrono_literals;
using testing::OpenBench;

// How long an exchange whose answer is lost takes, on the simulated line's
// clock, after `learned` answered exchanges at the controller's `pace`.
struct LostAnswer {
    int learned;
    bool quick;
    std::chrono::nanoseconds pace;
    bool cutShort;  // ends well before the full 2 s
};

TEST(QuickLoss, ALostAnswerEndsAtTheLinesLearnedPaceOnlyWhenAskedAndLearned) {
    for (const LostAnswer& row : std::vector<LostAnswer>{
             {1, true, 0ns, true},
             {1, false, 0ns, false},  // the window's exchanges, and a last attempt
             {0, true, 0ns, false},   // nothing known of the line yet
             {1, true, 300ms, true},
         }) {
        OpenBench bench;
        bench.controller.faults().answerDelay = row.pace;
        for (int i = 0; i < row.learned; ++i) ASSERT_TRUE(bench.link.Transact(Frame{}));
        // A slow controller is learned, not taken for lost.
        {
            const Link::QuickLoss quick(bench.link, row.quick);
            if (row.learned > 0) {
                ASSERT_TRUE(bench.link.Transact(Frame{}));
            }
        }
        bench.controller.faults().skipAnswers = 1;
        const Clock::time_point start = bench.clock.now();
        const Link::QuickLoss quick(bench.link, row.quick);
        EXPECT_EQ(bench.link.Transact(Frame{}).outcome, ExchangeOutcome::NoAnswer);
        const auto took = bench.clock.now() - start;
        if (row.cutShort) {
            EXPECT_GE(took, std::max<Clock::duration>(Link::kQuickLossFloor, row.pace));
            EXPECT_LE(took, Link::kQuickLossFactor * (row.pace + 10ms) + 10ms);
        } else {
            EXPECT_GE(took, kReplyTimeout);
        }
    }
}

TEST(QuickLoss, AnAwaitedMessageIsGivenUpAtTheLearnedPace) {
    OpenBench bench;
    // Learns how late a message comes: the third empty frame's answer.
    int frames = 0;
    const Clock::time_point start = bench.clock.now();
    ASSERT_TRUE(awaitMessage(
        bench.link, [&](const ReplyBuffer&) { return ++frames == 3; }, start + 2s));
    const auto late = bench.clock.now() - start;
    for (const bool quick : {true, false}) {
        const Link::QuickLoss hold(bench.link, quick);
        const Clock::time_point from = bench.clock.now();
        EXPECT_FALSE(awaitMessage(bench.link, [](const ReplyBuffer&) { return false; }, from + 2s));
        const auto took = bench.clock.now() - from;
        if (quick) {
            EXPECT_LE(took, Link::kQuickLossFactor * late + 10ms);
            EXPECT_GE(took, Link::kQuickLossFactor * late);
        } else {
            EXPECT_GE(took, 2s);
        }
    }
}

}  // namespace
}  // namespace korvel
