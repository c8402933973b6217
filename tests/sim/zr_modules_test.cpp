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

TEST(SimZrModule, AnswersWaitBehindEarlierOnesInOrder) {
    SimController c(oneZrModule());
    c.faults().moduleAnswerDelay = 2;
    EXPECT_EQ(exchange(c, {0, 66, 48}), FrameData{});
    EXPECT_EQ(exchange(c, {0, 66, 48, 5}), FrameData{});
    EXPECT_EQ(exchange(c, {1, 0}), FrameData{});  // a controller command keeps its own answer
    EXPECT_EQ(exchange(c, {}), (FrameData{0, 66, 49, 12}));
    EXPECT_EQ(exchange(c, {}), (FrameData{0, 66, 50, 5, 30}));
}

}  // namespace
}  // namespace korvel::sim
