#include "kx/master_slave_check.h"

#include <gtest/gtest.h>

#include "tests/support/recorders.h"

namespace korvel {
namespace {

using sim::SimModule;
using sim::SimSystem;
using testing::SimBench;

SimModule kxModule(int number, std::uint8_t typeBits, int msMode) {
    SimModule m;
    m.number = number;
    m.status = static_cast<std::uint8_t>(sim::kAnswered | typeBits);
    m.kxActive.value[11] = msMode;
    return m;
}

SimModule kx44(int number, int firstMode, int secondMode) {
    SimModule m = kxModule(number, sim::kTypeBitsKX44, firstMode);
    m.secondHalfStatus = m.status;
    m.kxSecondActive.value[11] = secondMode;
    return m;
}

struct Check : ::testing::Test {
    void start(std::vector<SimModule> modules) {
        SimSystem s;
        s.modules = std::move(modules);
        bench = std::make_unique<SimBench>(std::move(s));
        bench->openPort();
        types.fill(kKxNone);
    }
    MasterSlaveCheck run() { return checkMasterSlave(bench->link, types); }

    std::unique_ptr<SimBench> bench;
    KxTypeTable types;
};

TEST_F(Check, OneMasterIsOkWithoutIcon) {
    start({kxModule(2, sim::kTypeBitsKXH, 1), kx44(5, 2, 2)});
    types[2] = kKxH;
    types[5] = types[21] = kKx44;
    RunMasterSlaveCheck(bench->link, types);
    ASSERT_EQ(bench->prompter.shown.size(), 1u);
    EXPECT_EQ(bench->prompter.shown[0].text,
              "KX-H 2 is master\r\nKX44  5.0 is slave\r\nKX44  5.1 is slave\r\n\r\n"
              "Your master/slave settings are OK");
    EXPECT_EQ(bench->prompter.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(bench->prompter.shown[0].buttons, MessageButtons::Ok);
}

TEST_F(Check, TwoMastersAndNoMasterAreCritical) {
    start({kxModule(1, sim::kTypeBitsKXH, 1), kx44(6, 2, 1)});
    types[1] = kKxH;
    types[6] = types[22] = kKx44;
    const MasterSlaveCheck two = run();
    EXPECT_EQ(two.outcome, MasterSlaveOutcome::Judged);
    EXPECT_EQ(two.masterCount, 2);
    EXPECT_EQ(two.icon, MessageIcon::Critical);
    EXPECT_TRUE(two.message.ends_with("\r\n\r\nYour system has multiple masters!"));

    bench->controller.system().modules[0].kxActive.value[11] = 0;
    bench->controller.system().modules[1].kxActive.value[11] = 0;
    bench->controller.system().modules[1].kxSecondActive.value[11] = 0;
    const MasterSlaveCheck none = run();
    EXPECT_EQ(none.report,
              "KX-H 1 returns error: 0\r\nKX44  6.0 returns error: 0\r\n"
              "KX44  6.1 returns error: 0\r\n");
    EXPECT_EQ(none.message, none.report + "\r\nYour system has no master!");
    EXPECT_EQ(none.icon, MessageIcon::Critical);
}

TEST_F(Check, OnlyKXHAndKX44AreAskedInAscendingOrder) {
    start({kxModule(0, sim::kTypeBitsWobe, 1), kxModule(4, sim::kTypeBitsKXH, 1), kx44(9, 2, 2),
           kxModule(12, sim::kTypeBitsKXH, 2)});
    types[0] = kKxWobe;
    types[3] = kKxUnknown;
    types[4] = kKxH;
    types[9] = types[25] = kKx44;
    types[12] = kKxH;
    EXPECT_EQ(run().outcome, MasterSlaveOutcome::Judged);
    EXPECT_EQ(bench->commandsSince(0),
              (std::vector<sim::FrameData>{
                  {0, 36, 8, 11}, {0, 41, 8, 11}, {0, 44, 8, 11}, {0, 41, 24, 11}}));
}

// Module 4 is registered but gone; the messages below reach the check while it
// waits for module 4 (they become ready with the request's frame).
struct GoneModule : Check {
    GoneModule() {
        start({});
        types[4] = kKxH;
        bench->controller.faults().moduleAnswerDelay = 2;
    }
    void queue(sim::FrameData data) { bench->controller.queueMessage(std::move(data)); }
};

TEST_F(GoneModule, ForeignAndPermanentAnswersDoNotCountAndTheWaitEndsAfterTwoSeconds) {
    queue({0, 36, 10, 75, 1});  // module 4, Permanent bit set
    queue({0, 37, 10, 11, 1});  // module 5
    queue({0, 36, 26, 11, 1});  // second half of module 4
    queue({0, 36, 10, 10, 1});  // module 4, another setting
    const auto started = bench->clock.now();
    const MasterSlaveCheck check = run();
    EXPECT_EQ(check.outcome, MasterSlaveOutcome::ModuleSilent);
    EXPECT_EQ(check.message, "No answer from module 4");
    EXPECT_EQ(check.icon, MessageIcon::None);
    EXPECT_GE(bench->clock.now() - started, std::chrono::seconds(2));
    EXPECT_LT(bench->clock.now() - started, std::chrono::milliseconds(2100));
    EXPECT_EQ(bench->controller.pendingMessages(), 0u);
}

TEST_F(GoneModule, TheAnswerCountsWhateverItsLowThreeBitsOfByte3) {
    queue({0, 37, 10, 11, 1});
    queue({0, 36, 13, 11, 1});
    const MasterSlaveCheck check = run();
    EXPECT_EQ(check.outcome, MasterSlaveOutcome::Judged);
    EXPECT_EQ(check.report, "KX-H 4 is master\r\n");
}

TEST_F(GoneModule, NoAnswerStopsTheCheckBeforeLaterModules) {
    types[7] = kKxH;
    RunMasterSlaveCheck(bench->link, types);
    EXPECT_EQ(bench->prompter.texts(), std::vector<std::string>{"No answer from module 4"});
    EXPECT_EQ(bench->prompter.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(bench->commandsSince(0), (std::vector<sim::FrameData>{{0, 36, 8, 11}}));
}

TEST_F(Check, LateAnswersWithinTwoSecondsCount) {
    start({kx44(3, 2, 1)});
    types[3] = types[19] = kKx44;
    bench->controller.faults().moduleAnswerDelay = 20;
    const MasterSlaveCheck check = run();
    EXPECT_EQ(check.outcome, MasterSlaveOutcome::Judged);
    EXPECT_EQ(check.report, "KX44  3.0 is slave\r\nKX44  3.1 is master\r\n");
}

}  // namespace
}  // namespace korvel
