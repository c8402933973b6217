#include "testpanel/function_test.h"

#include <gtest/gtest.h>

#include "tests/support/recorders.h"

namespace korvel {
namespace {

using sim::FrameData;
using testing::SimBench;

constexpr std::uint8_t kAllTicked = 255;

TEST(FunctionFrame, GroupOneCarriesLightAndF1ToF4) {
    // Boxes 0 and 4: F1 and the light.
    EXPECT_EQ(FunctionGroupFrame(FunctionGroup::F1toF4L, 0, 3, 0b0001'0001), (Frame{40, 0, 17, 3}));
    EXPECT_EQ(FunctionGroupFrame(FunctionGroup::F1toF4L, 9, 3, kAllTicked), (Frame{40, 9, 31, 3}));
}

TEST(FunctionFrame, GroupTwoHalvesUseOnlyTheFirstFourBoxes) {
    EXPECT_EQ(FunctionGroupFrame(FunctionGroup::F5toF8, 0, 3, 0b1111'0000), (Frame{40, 0, 48, 3}));
    EXPECT_EQ(FunctionGroupFrame(FunctionGroup::F5toF8, 0, 3, 0b0000'0101), (Frame{40, 0, 53, 3}));
    EXPECT_EQ(FunctionGroupFrame(FunctionGroup::F9toF12, 0, 3, 0b1111'1010), (Frame{40, 0, 42, 3}));
}

TEST(FunctionFrame, ExpansionGroupsSplitTheEighthBitOff) {
    EXPECT_EQ(FunctionGroupFrame(FunctionGroup::F13toF20, 1, 3, kAllTicked),
              (Frame{44, 1, 5, 127, 3}));
    EXPECT_EQ(FunctionGroupFrame(FunctionGroup::F21toF28, 1, 3, 0b0100'0001),
              (Frame{44, 1, 6, 65, 3}));
    EXPECT_EQ(FunctionGroupFrame(FunctionGroup::F21toF28, 1, 3, 0b1000'0000),
              (Frame{44, 1, 7, 0, 3}));
}

TEST(FunctionFrame, LongAddressesAddTheirHighHalf) {
    EXPECT_EQ(FunctionGroupFrame(FunctionGroup::F1toF4L, 0, 200, 0), (Frame{40, 0, 0, 72, 1}));
    EXPECT_EQ(FunctionGroupFrame(FunctionGroup::F13toF20, 0, 200, 0), (Frame{44, 0, 4, 0, 72, 1}));
    EXPECT_EQ(FunctionGroupFrame(FunctionGroup::F5toF8, 127, 127, 0), (Frame{40, 127, 48, 127}));
    EXPECT_EQ(FunctionGroupFrame(FunctionGroup::F5toF8, 0, 128, 0), (Frame{40, 0, 48, 0, 1}));
    EXPECT_EQ(FunctionGroupFrame(FunctionGroup::F9toF12, 0, 16383, 0),
              (Frame{40, 0, 32, 127, 127}));
    EXPECT_THROW(FunctionGroupFrame(FunctionGroup::F9toF12, 0, 16384, 0), std::out_of_range);
    EXPECT_THROW(FunctionGroupFrame(FunctionGroup::F9toF12, 128, 1, 0), std::out_of_range);
}

TEST(FunctionFrame, PatternBoxesAndButtonIndexes) {
    std::array<bool, 8> boxes{};
    boxes[0] = boxes[7] = true;
    EXPECT_EQ(patternByte(boxes), 0x81);
    EXPECT_EQ(functionGroup(4), FunctionGroup::F21toF28);
    EXPECT_EQ(functionGroup(5), std::nullopt);
    EXPECT_EQ(functionGroup(-1), std::nullopt);
}

struct FunctionTest : ::testing::Test {
    FunctionTest() { b.openPort(); }
    FunctionTestInputs inputs(std::string block, std::string decoder) {
        FunctionTestInputs in;
        in.blockText = std::move(block);
        in.decoderText = std::move(decoder);
        return in;
    }
    SimBench b;
};

TEST_F(FunctionTest, BoxesAreReadAsTheirLeadingNumberHalvesToEven) {
    SendFunctionPattern(b.link, 1, inputs("", ""));
    SendFunctionPattern(b.link, 1, inputs(" 2.5 blocks", "200.5"));
    SendFunctionPattern(b.link, 3, inputs("3.5", "1e2"));
    EXPECT_EQ(b.controller.decoderCommands(),
              (std::vector<FrameData>{{40, 0, 48, 0}, {40, 2, 48, 72, 1}, {44, 4, 4, 0, 100}}));
}

TEST_F(FunctionTest, NumbersAFrameCannotCarryAreRefusedAndNothingIsSent) {
    const std::vector<std::pair<FunctionTestInputs, std::string>> refused{
        {inputs("128", "1"), "Block must be a number from 0 to 127"},
        {inputs("127.5", "1"), "Block must be a number from 0 to 127"},
        {inputs("-1", "1"), "Block must be a number from 0 to 127"},
        {inputs("0", "16384"), "Decoder must be a number from 0 to 16383"},
        {inputs("0", "-3"), "Decoder must be a number from 0 to 16383"},
        {inputs("0", "40000"), "Decoder must be a number from 0 to 16383"},
        {inputs("0", "1e400"), "Decoder must be a number from 0 to 16383"},
        {inputs("1e30", "1"), "Block must be a number from 0 to 127"},
    };
    for (const auto& [in, message] : refused) {
        b.prompter.shown.clear();
        SendFunctionPattern(b.link, 2, in);
        ASSERT_EQ(b.prompter.shown.size(), 1u) << in.blockText << " / " << in.decoderText;
        EXPECT_EQ(b.prompter.shown[0].text, message);
        EXPECT_EQ(b.prompter.shown[0].icon, MessageIcon::Exclamation);
    }
    EXPECT_TRUE(b.frames().empty());
    EXPECT_EQ(b.port.written().size(), 0u);
}

TEST_F(FunctionTest, PortClosedAsksForAPortInAPlainBox) {
    b.port.close();
    SendFunctionPattern(b.link, 0, inputs("0", "3"));
    ASSERT_EQ(b.prompter.shown.size(), 1u);
    EXPECT_EQ(b.prompter.shown[0].text, "Please select com-port");
    EXPECT_EQ(b.prompter.shown[0].icon, MessageIcon::None);
    EXPECT_TRUE(b.frames().empty());
}

TEST_F(FunctionTest, UnknownButtonSendsNothingAndNoAnswerIsReportedByTheLink) {
    SendFunctionPattern(b.link, 5, inputs("0", "3"));
    EXPECT_TRUE(b.frames().empty());
    EXPECT_TRUE(b.prompter.shown.empty());
    b.controller.faults().silent = true;
    SendFunctionPattern(b.link, 4, inputs("0", "3"));
    EXPECT_EQ(b.prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
}

}  // namespace
}  // namespace korvel
