#include <gtest/gtest.h>

#include "sim/handlers.h"
#include "tests/support/recorders.h"

namespace korvel::sim {
namespace {

using testing::SimBench;

SimModule kxModule(int number, std::uint8_t typeBits) {
    SimModule m;
    m.number = number;
    m.status = static_cast<std::uint8_t>(kAnswered | typeBits);
    return m;
}

SimSystem kxSystem() {
    SimSystem s;
    s.modules.push_back(kxModule(1, kTypeBitsKXH));
    SimModule kx44 = kxModule(6, kTypeBitsKX44);
    kx44.secondHalfStatus = kx44.status;
    s.modules.push_back(kx44);
    s.modules.push_back(kxModule(9, kTypeBitsWobe));
    SimModule zr;
    zr.family = ModuleFamily::ZR;
    zr.number = 1;
    s.modules.push_back(zr);
    return s;
}

struct KxModules : ::testing::Test {
    KxModules() { b.openPort(); }
    // Sends a command, then the empty frame that fetches the module's report.
    std::vector<int> exchange(const Frame& command) {
        EXPECT_TRUE(b.link.Transact(command));
        EXPECT_EQ(b.link.reply().header() & 15, 8) << "the command itself gets an empty answer";
        EXPECT_TRUE(b.link.Transact(Frame{}));
        const ReplyBuffer& r = b.link.reply();
        return std::vector<int>(r.bytes.begin(), r.bytes.begin() + 1 + r.dataCount());
    }
    SimModule& module(int index) {
        return b.controller.system().modules[static_cast<std::size_t>(index)];
    }
    SimBench b{kxSystem()};
};

TEST_F(KxModules, SecondHalfOfAKX44AnswersUnderItsOwnAddress) {
    exchange(Frame{0, 38, 8, 2, 40});
    EXPECT_EQ(exchange(Frame{0, 38, 24, 2, 50}), (std::vector<int>{13, 0, 38, 26, 2, 50}));
    EXPECT_EQ(exchange(Frame{0, 38, 8, 2}), (std::vector<int>{13, 0, 38, 10, 2, 40}));
    EXPECT_EQ(module(1).kxSecondActive.value[2], 50);
    // A KX-H has no second half, and nothing answers where no module is.
    EXPECT_EQ(exchange(Frame{0, 33, 24, 2}), (std::vector<int>{8}));
    EXPECT_EQ(exchange(Frame{0, 34, 8, 2}), (std::vector<int>{8}));
}

TEST_F(KxModules, EraseClearsBothSettingsOfThatHalfOnly) {
    exchange(Frame{0, 38, 8, 1, 5});
    exchange(Frame{0, 38, 8, 65, 6});
    exchange(Frame{0, 38, 24, 1, 7});
    EXPECT_EQ(exchange(Frame{0, 38, 8, 64}), (std::vector<int>{8}));
    EXPECT_EQ(module(1).kxActive.value[1], 0);
    EXPECT_EQ(module(1).kxPermanent.value[1], 0);
    EXPECT_EQ(module(1).kxSecondActive.value[1], 7);
}

TEST_F(KxModules, MSModeQueryOfAWobeAndUnknownCodesAndOtherFamilies) {
    module(2).kxActive.value[11] = 1;
    EXPECT_EQ(exchange(Frame{0, 41, 8, 11}), (std::vector<int>{13, 0, 41, 10, 11, 1}));
    EXPECT_EQ(exchange(Frame{0, 41, 8, 0}), (std::vector<int>{8}));
    EXPECT_EQ(exchange(Frame{0, 41, 8, 16}), (std::vector<int>{8}));
    EXPECT_EQ(exchange(Frame{0, 41, 9, 1}), (std::vector<int>{8}));
    EXPECT_FALSE(handleKxCommand(b.controller, {0, 65, 8, 1}));
    EXPECT_FALSE(handleKxCommand(b.controller, {1, 33, 8, 1}));
    EXPECT_TRUE(handleKxCommand(b.controller, {0, 33, 8}));
    EXPECT_EQ(b.controller.pendingMessages(), 0u);
}

TEST_F(KxModules, GroupCommandsQueueOneReportPerModuleInOrder) {
    b.link.Transact(Frame{0, 33, 8, 9, 4});
    b.link.Transact(Frame{0, 38, 8, 9, 8});
    b.link.Transact(Frame{0, 38, 24, 9, 16});
    EXPECT_EQ(b.controller.pendingMessages(), 3u);
    std::vector<int> order;
    for (int i = 0; i < 3; ++i) {
        b.link.Transact(Frame{});
        order.push_back(b.link.reply()[5]);
    }
    EXPECT_EQ(order, (std::vector<int>{4, 8, 16}));
}

}  // namespace
}  // namespace korvel::sim
