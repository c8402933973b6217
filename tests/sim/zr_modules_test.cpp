#include <gtest/gtest.h>

#include "sim/controller.h"
#include "sim/handlers.h"

namespace korvel::sim {
namespace {

SimSystem oneZrModule() {
    SimModule m;
    m.family = ModuleFamily::ZR;
    m.number = 2;
    m.zrActive.defaultTime = 12;
    m.zrActive.devices[5] = {30, 1};
    m.zrPermanent.defaultTime = 40;
    m.zrPermanent.devices[5] = {90, 3};
    SimSystem s;
    s.modules.push_back(m);
    return s;
}

// Sends one frame and returns the data values of the controller's answer.
FrameData exchange(SimController& c, const FrameData& data) {
    std::vector<CommandByte> values(data.begin(), data.end());
    const auto header = static_cast<std::uint8_t>(8 + data.size());
    std::vector<std::uint8_t> bytes{header};
    for (std::uint8_t d : data) bytes.push_back(static_cast<std::uint8_t>(d | 0x80));
    bytes.push_back(checkByte(header, values));
    const std::vector<SimAnswer> answers = c.receive(bytes);
    EXPECT_EQ(answers.size(), 1u);
    if (answers.empty()) return {};
    FrameData out;
    for (std::size_t i = 1; i + 1 < answers[0].bytes.size(); ++i)
        out.push_back(static_cast<std::uint8_t>(answers[0].bytes[i] & 0x7F));
    return out;
}

TEST(SimZrModule, AnswersQueriesWithTheSettingAskedFor) {
    SimController c(oneZrModule());
    EXPECT_EQ(exchange(c, {0, 66, 48}), (FrameData{0, 66, 49, 12}));
    EXPECT_EQ(exchange(c, {0, 66, 112}), (FrameData{0, 66, 113, 40}));
    EXPECT_EQ(exchange(c, {0, 66, 48, 5}), (FrameData{0, 66, 50, 5, 30}));
    EXPECT_EQ(exchange(c, {0, 66, 120, 5}), (FrameData{0, 66, 122, 5, 3}));
    EXPECT_EQ(exchange(c, {0, 66, 56, 64}), FrameData{});  // no device 64
    EXPECT_EQ(exchange(c, {0, 67, 48}), FrameData{});      // no module 3
    EXPECT_EQ(c.pendingMessages(), 0u);
}

TEST(SimZrModule, LateAnswersComeWithTheNextFrameOfAnyKind) {
    SimSystem s = oneZrModule();
    s.modules[0].zrLateEvery = 2;
    SimController c(s);
    EXPECT_EQ(exchange(c, {0, 66, 48, 5}), (FrameData{0, 66, 50, 5, 30}));
    EXPECT_EQ(exchange(c, {0, 66, 56, 5}), FrameData{});
    EXPECT_EQ(exchange(c, {0, 66, 48, 6}), (FrameData{0, 66, 58, 5, 1}));
    EXPECT_EQ(exchange(c, {}), (FrameData{0, 66, 50, 6, 0}));
    EXPECT_EQ(exchange(c, {}), FrameData{});
}

TEST(SimZrModule, AnswersWaitBehindEarlierOnesInOrder) {
    SimController c(oneZrModule());
    c.faults().moduleAnswerDelay = 2;
    EXPECT_EQ(exchange(c, {0, 66, 48}), FrameData{});
    EXPECT_EQ(exchange(c, {0, 66, 48, 5}), FrameData{});
    EXPECT_EQ(exchange(c, {1, 0}), FrameData{});  // a controller command keeps its own answer
    EXPECT_EQ(exchange(c, {}), (FrameData{0, 66, 49, 12}));
    EXPECT_EQ(exchange(c, {}), (FrameData{0, 66, 50, 5, 30}));
}

TEST(SimZrModule, SetsWriteTheActiveOrTheStoredSettings) {
    SimController c(oneZrModule());
    exchange(c, {0, 66, 32, 20});
    exchange(c, {0, 66, 96, 7, 100});
    exchange(c, {0, 66, 40, 7, 2});
    exchange(c, {0, 66, 104, 8, 3});
    const SimModule& m = c.system().modules[0];
    EXPECT_EQ(m.zrActive.defaultTime, 20);
    EXPECT_EQ(m.zrPermanent.defaultTime, 40);
    EXPECT_EQ(m.zrPermanent.devices[7].time, 100);
    EXPECT_EQ(m.zrActive.devices[7].time, 0);
    EXPECT_EQ(m.zrActive.devices[7].power, 2);
    EXPECT_EQ(m.zrPermanent.devices[8].power, 3);
    EXPECT_EQ(exchange(c, {0, 66, 48, 7}), (FrameData{0, 66, 50, 7, 0}));
    EXPECT_EQ(exchange(c, {0, 66, 112, 7}), (FrameData{0, 66, 114, 7, 100}));
}

TEST(SimZrModule, EraseRestoresTheFactorySettingsOfBoth) {
    SimController c(oneZrModule());
    exchange(c, {0, 66, 64});
    const SimModule& m = c.system().modules[0];
    EXPECT_EQ(m.zrActive.devices[5].time, 0);
    EXPECT_EQ(m.zrPermanent.devices[5].power, 0);
    EXPECT_EQ(m.zrPermanent.defaultTime, ZrSettings{}.defaultTime);
    EXPECT_EQ(c.pendingMessages(), 0u);
}

}  // namespace
}  // namespace korvel::sim
