// A line that misbehaves: frames that cannot answer the request in hand, and
// numbers typed on a desktop whose locale writes a decimal comma.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "link/answer_rule.h"
#include "link/number_text.h"
#include "tests/support/recorders.h"

namespace korvel {
namespace {

using namespace std::chrono_literals;
using sim::FrameData;

ReplyBuffer replyOf(const FrameData& data) {
    ReplyBuffer r;
    const auto bytes = sim::SimController::encodeAnswer(data);
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) r.bytes[i] = bytes[i] & 127;
    return r;
}

TEST(AnswerRule, OnlyFramesThatCanAnswerTheRequestAreTaken) {
    const struct {
        Frame request;
        FrameData reply;
        bool fits;
    } cases[] = {
        {Frame{}, {1, 11, 35, 8, 0, 0}, true},            // an empty frame takes anything
        {Frame{1, 11, 36}, {1, 11, 36, 8, 0, 0}, true},   // a query's own answer
        {Frame{1, 11, 36}, {1, 11, 35, 8, 0, 0}, false},  // the module before, late
        {Frame{1, 11, 36}, {}, true},                     // nothing ready: the step is skipped
        {Frame{1, 11, 36}, {0, 36, 10, 1, 7}, false},     // a module's message
        {Frame{1, 3, 4}, {1, 3, 0x20, 0, 0, 0}, false},   // presence answering the type query
        {Frame{1, 3, 4}, {1, 3, 0x40, 0, 0, 0}, true},
        {Frame{1, 2}, {0, 36, 10, 1, 7}, true},  // the version may follow on empty frames
        {Frame{1, 2}, {1, 10, 2, 8, 16}, false},
        {Frame{0, 37, 8, 11}, {1, 11, 35, 8, 0, 0}, false},  // no module command
        {Frame{0, 37, 8, 11}, {0, 64, 50, 3, 12}, true},     // a ZR answer riding along
        {Frame{1, 0}, {1, 2, 24, 8}, false},                 // nor Reset Fault
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(canAnswer(cases[i].request, replyOf(cases[i].reply)), cases[i].fits) << i;
}

TEST(AnswerRule, ALateAnswerIsLoggedAsIgnoredAndTheWaitGoesOnWithinTwoSeconds) {
    testing::SimBench b;
    b.openPort();
    b.controller.faults().aimed = sim::AimedFault{sim::FaultKind::LateAside,
                                                  [](const FrameData& f) {
                                                      return f == FrameData{1, 11, 35};
                                                  },
                                                  0, 2500ms};
    EXPECT_FALSE(b.link.Transact(Frame{1, 11, 35}));
    b.controller.faults().answerDelay = 1s;  // the late frame comes first
    const auto start = b.clock.now();
    ASSERT_TRUE(b.link.Transact(Frame{1, 11, 36}));
    EXPECT_EQ(b.link.reply()[3], 36);
    EXPECT_LT(b.clock.now() - start, 2s);
    EXPECT_EQ(b.log.text.substr(b.log.text.find("\n") + 1),
              ">> 6B 01 0B 24 65" + std::string(12, ' ') +
                  "  << 0E 01 0B 23 0A 09 02 2E  (ignored: not the answer to this request)\r\n" +
                  std::string(29, ' ') + "  << 0E 01 0B 24 00 00 00 42\r\n");
    EXPECT_EQ(b.prompter.texts().size(), 1u);
}

// The window library sets the process locale from the desktop; a box holding
// "7.6" must still send 8.
TEST(NumberText, ADecimalCommaLocaleChangesNoNumber) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "nl_NL.UTF-8"), nullptr)
        << "tools/install-deps.sh generates this locale";
    EXPECT_EQ(readRanged("7.6", 0, 127).value, 8);
    EXPECT_EQ(leadingNumber("6.5"), 6.5);
    EXPECT_EQ(leadingNumber("-1.25e1x"), -12.5);
    EXPECT_EQ(leadingNumber("7,6"), 7);
    std::setlocale(LC_ALL, before.c_str());
}

}  // namespace
}  // namespace korvel
