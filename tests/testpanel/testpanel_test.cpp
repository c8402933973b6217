#include "tests/support/recorders.h"
#include "ui_model/function_test.h"

namespace korvel {
namespace {

using sim::FrameData;

TEST(FunctionFrame, GroupsPatternsAndLongAddresses) {
    using G = FunctionGroup;
    // group, block, address, pattern; the frame
    const std::tuple<G, int, int, std::uint8_t, Frame> cases[] = {
        {G::F1toF4L, 0, 3, 0b0001'0001, Frame{40, 0, 17, 3}},
        {G::F1toF4L, 9, 3, 0xFF, Frame{40, 9, 31, 3}},
        {G::F5toF8, 0, 3, 0b1111'0000, Frame{40, 0, 48, 3}},
        {G::F9toF12, 0, 3, 0b1111'1010, Frame{40, 0, 42, 3}},
        {G::F13toF20, 1, 3, 0xFF, Frame{44, 1, 5, 127, 3}},
        {G::F21toF28, 1, 3, 0b1000'0000, Frame{44, 1, 7, 0, 3}},
        {G::F1toF4L, 0, 200, 0, Frame{40, 0, 0, 72, 1}},
        {G::F13toF20, 0, 200, 0, Frame{44, 0, 4, 0, 72, 1}},
        {G::F5toF8, 127, 127, 0, Frame{40, 127, 48, 127}},
        {G::F5toF8, 0, 128, 0, Frame{40, 0, 48, 0, 1}},
        {G::F9toF12, 0, 16383, 0, Frame{40, 0, 32, 127, 127}},
    };
    for (const auto& [group, block, address, pattern, expected] : cases)
        EXPECT_EQ(FunctionGroupFrame(group, block, address, pattern), expected)
            << block << " " << address << " " << int(pattern);
    EXPECT_EQ(patternByte({true, false, false, false, false, false, false, true}), 0x81);
    EXPECT_EQ(functionGroup(4), FunctionGroup::F21toF28);
    EXPECT_EQ(functionGroup(5), std::nullopt);
}

TEST(FunctionTest, BoxesReadAsTheirLeadingNumberAndRefusedOutsideTheFrame) {
    testing::SimBench b;
    SendFunctionPattern(b.link, b.prompter, 0, {"0", "3"});
    EXPECT_EQ(b.prompter.texts(), std::vector<std::string>{"Please select com-port"});
    EXPECT_EQ(b.prompter.shown[0].icon, MessageIcon::None);
    b.openPort();
    b.prompter.shown.clear();
    SendFunctionPattern(b.link, b.prompter, 1, {"", ""});
    SendFunctionPattern(b.link, b.prompter, 1, {" 2.5 blocks", "200.5"});
    SendFunctionPattern(b.link, b.prompter, 3, {"3.5", "1e2"});
    SendFunctionPattern(b.link, b.prompter, 5, {"0", "3"});
    EXPECT_EQ(b.controller.decoderCommands(),
              (std::vector<FrameData>{{40, 0, 48, 0}, {40, 2, 48, 72, 1}, {44, 4, 4, 0, 100}}));
    const std::pair<FunctionTestInputs, const char*> refused[] = {
        {{"127.5", "1"}, "Block must be a number from 0 to 127"},
        {{"0", "16383.5"}, "Decoder must be a number from 0 to 16383"},
        {{"zz", "1"}, "Block must be a number from 0 to 127"},
        {{" -.x", "1"}, "Block must be a number from 0 to 127"},
        {{"0", "zz"}, "Decoder must be a number from 0 to 16383"},
    };
    for (const auto& [in, message] : refused) {
        b.prompter.shown.clear();
        SendFunctionPattern(b.link, b.prompter, 2, in);
        ASSERT_EQ(b.prompter.texts(), std::vector<std::string>{message});
        EXPECT_EQ(b.prompter.shown[0].icon, MessageIcon::Exclamation);
    }
    EXPECT_EQ(b.frames().size(), 3u);
}

}  // namespace
}  // namespace korvel
