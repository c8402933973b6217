#include "kx/settings.h"

#include <gtest/gtest.h>

namespace korvel {
namespace {

using N = KxNumberSetting;
using O = KxOptionSetting;

TEST(KxNumberCommand, OutOfRangeNumbersAreCorrectedInTheBox) {
    const KxCommand low = numberCommand(N::LoopCurrent, "5", {}, false);
    EXPECT_EQ(low.correctedText, "20");
    EXPECT_EQ(low.x, 20);
    const KxCommand high = numberCommand(N::LoopCurrent, "99", {}, false);
    EXPECT_EQ(high.correctedText, "70");
    EXPECT_EQ(high.x, 70);
    const KxCommand sw = numberCommand(N::SwitchDelay, "7.5", {}, false);
    EXPECT_EQ(sw.correctedText, "7");
    EXPECT_EQ(sw.x, 7);
    EXPECT_EQ(numberCommand(N::AlarmDelay, "-3", {}, false).correctedText, "0");
    EXPECT_EQ(numberCommand(N::Address, "16", {}, false).correctedText, "15");
}

TEST(KxNumberCommand, InRangeTextStaysAsTypedAndHalvesRoundToEven) {
    const KxCommand half = numberCommand(N::SwitchDelay, "6.5", {}, false);
    EXPECT_FALSE(half.correctedText);
    EXPECT_EQ(half.x, 6);
    EXPECT_EQ(numberCommand(N::HFI, "12.5", {}, false).x, 12);
    EXPECT_EQ(numberCommand(N::HFI, "13.5 mA", {}, false).x, 14);
    const KxCommand text = numberCommand(N::HFI, "high", {}, false);
    EXPECT_FALSE(text.correctedText);
    EXPECT_EQ(text.x, 0);
}

TEST(KxNumberCommand, CommandByteCarriesCodeSelectorsAndPermanent) {
    const KxSelectors none;
    EXPECT_EQ(numberCommand(N::HFI, "1", none, false).v, 1);
    EXPECT_EQ(numberCommand(N::HFI, "1", none, true).v, 65);
    EXPECT_EQ(numberCommand(N::AlarmDelay, "1", {.alarmOn = true}, false).v, 3);
    EXPECT_EQ(numberCommand(N::SwitchDelay, "1", none, false).v, 4);
    EXPECT_EQ(numberCommand(N::SwitchDelay, "1", {.bank1 = true}, false).v, 5);
    EXPECT_EQ(numberCommand(N::SwitchDelay, "1", {.switchOn = true}, false).v, 6);
    EXPECT_EQ(numberCommand(N::SwitchDelay, "1", {.switchOn = true, .bank1 = true}, true).v, 71);
    EXPECT_EQ(numberCommand(N::DCShift, "1", none, false).v, 8);
    EXPECT_EQ(numberCommand(N::LoopCurrent, "30", none, false).v, 13);
    EXPECT_EQ(numberCommand(N::LoopCurrent, "30", {.loopB = true}, true).v, 78);
    EXPECT_EQ(numberCommand(N::Address, "1", none, true).v, 79);
    // A selector of another panel does not change the code.
    const KxSelectors all{true, true, true, true};
    EXPECT_EQ(numberCommand(N::HFI, "1", all, false).v, 1);
    EXPECT_EQ(numberCommand(N::DCShift, "1", all, false).v, 8);
}

TEST(KxNumberCommand, HostileTextNeverLeavesTheRangeAndTheBoxShowsWhatIsSent) {
    const char* texts[] = {"1e400", "-1e400", "1e-400",   "nan",  "inf",
                           "-inf",  "0x7F",   "  +3",     "\t4",  "99999999999999999999999",
                           "127.5", "",       "\xff\xfe", "-0.5", "0.49999",
                           "1e2",   "1E+1x",  ".5",       "-.",   "+",
                           "15,9",  "7 8",    "1e",       "e5",   "2147483648"};
    for (N setting :
         {N::HFI, N::AlarmDelay, N::SwitchDelay, N::DCShift, N::LoopCurrent, N::Address}) {
        const KxRange range = rangeOf(setting);
        for (const char* text : texts) {
            const KxCommand c = numberCommand(setting, text, {}, false);
            EXPECT_GE(c.x.value(), range.minimum) << text;
            EXPECT_LE(c.x.value(), range.maximum) << text;
            const std::string shown = c.correctedText.value_or(text);
            const KxCommand again = numberCommand(setting, shown, {}, false);
            EXPECT_FALSE(again.correctedText) << text;
            EXPECT_EQ(again.x, c.x) << text;
        }
    }
}

TEST(KxOptionCommand, ValueIsTheSelectedIndexOrZero) {
    EXPECT_EQ(optionCommand(O::PWMMult, 16, false).x, 16);
    EXPECT_EQ(optionCommand(O::PWMMult, 16, false).v, 9);
    EXPECT_EQ(optionCommand(O::PWMMult, std::nullopt, false).x, 0);
    EXPECT_EQ(optionCommand(O::PWMMult, 6, false).x, 0);
    EXPECT_EQ(optionCommand(O::OCDMode, 2, true).v, 74);
    EXPECT_EQ(optionCommand(O::OCDMode, 2, true).x, 2);
    EXPECT_EQ(optionCommand(O::MSMode, 1, false).v, 11);
    EXPECT_EQ(optionCommand(O::MSMode, 1, false).x, 1);
    EXPECT_EQ(optionCommand(O::PowerCtl, 1, true).v, 76);
    EXPECT_EQ(optionCommand(O::PowerCtl, 2, false).x, 0);
}

}  // namespace
}  // namespace korvel
