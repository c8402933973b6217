#include "kx/reply_decoding.h"

#include <gtest/gtest.h>

#include "link/module_registry.h"

namespace korvel {
namespace {

// A settings report with five data bytes as the receiver leaves it.
ReplyBuffer report(int b2, int b3, int v, int x) {
    ReplyBuffer r;
    r.bytes = {13,
               0,
               static_cast<std::uint8_t>(b2),
               static_cast<std::uint8_t>(b3),
               static_cast<std::uint8_t>(v),
               static_cast<std::uint8_t>(x)};
    return r;
}

KxPageInputs selecting(std::int32_t m, bool permanent = false, KxSelectors s = {}) {
    return {m, permanent, s};
}

TEST(DecodeKXReply, SecondHalfReportFillsHfiGreen) {
    const auto update = DecodeKXReply(report(35, 26, 1, 12), selecting(19));
    ASSERT_TRUE(update);
    EXPECT_EQ(update->field, KxField::txtHFI);
    EXPECT_EQ(update->text, "12");
    EXPECT_FALSE(update->isOption());
    EXPECT_EQ(update->colour, 65280u);
}

TEST(DecodeKXReply, OnlyTheSelectedSingleModuleIsDecoded) {
    EXPECT_FALSE(DecodeKXReply(report(35, 26, 1, 12), selecting(3)));
    EXPECT_FALSE(DecodeKXReply(report(35, 10, 1, 12), selecting(19)));
    EXPECT_FALSE(DecodeKXReply(report(36, 10, 1, 12), selecting(3)));
    EXPECT_TRUE(DecodeKXReply(report(35, 10, 1, 12), selecting(3)));
    for (std::int32_t group : {kAllKXxx, kAllKXH, kAllWobe, kAllKX44})
        for (int b2 = 28; b2 <= 63; ++b2)
            EXPECT_FALSE(DecodeKXReply(report(b2, 10, 1, 12), selecting(group))) << group;
}

TEST(DecodeKXReply, NothingSelectedDecodesNothing) {
    EXPECT_FALSE(DecodeKXReply(report(32, 10, 1, 12), KxPageInputs{}));
}

TEST(DecodeKXReply, PermanentAndSelectorsMustMatchThePage) {
    EXPECT_FALSE(DecodeKXReply(report(32, 10, 65, 3), selecting(0)));
    EXPECT_TRUE(DecodeKXReply(report(32, 10, 65, 3), selecting(0, true)));
    EXPECT_FALSE(DecodeKXReply(report(32, 10, 1, 3), selecting(0, true)));

    EXPECT_FALSE(DecodeKXReply(report(32, 10, 3, 90), selecting(0)));
    const auto on = DecodeKXReply(report(32, 10, 3, 90), selecting(0, false, {.alarmOn = true}));
    ASSERT_TRUE(on);
    EXPECT_EQ(on->field, KxField::txtAL);
    EXPECT_EQ(on->text, "90");

    EXPECT_FALSE(DecodeKXReply(report(32, 10, 7, 5), selecting(0, false, {.switchOn = true})));
    const auto sw =
        DecodeKXReply(report(32, 10, 7, 5), selecting(0, false, {.switchOn = true, .bank1 = true}));
    ASSERT_TRUE(sw);
    EXPECT_EQ(sw->field, KxField::txtSW);

    EXPECT_FALSE(DecodeKXReply(report(32, 10, 14, 40), selecting(0)));
    const auto lc = DecodeKXReply(report(32, 10, 14, 40), selecting(0, false, {.loopB = true}));
    ASSERT_TRUE(lc);
    EXPECT_EQ(lc->field, KxField::txtLC);
}

TEST(DecodeKXReply, TextValuesAreWrittenWithoutRangeCorrection) {
    const auto dc = DecodeKXReply(report(32, 10, 8, 127), selecting(0));
    ASSERT_TRUE(dc);
    EXPECT_EQ(dc->field, KxField::txtDCShift);
    EXPECT_EQ(dc->text, "127");
    const auto ad = DecodeKXReply(report(32, 10, 15, 0), selecting(0));
    ASSERT_TRUE(ad);
    EXPECT_EQ(ad->field, KxField::txtAD);
    EXPECT_EQ(ad->text, "0");
}

TEST(DecodeKXReply, OptionValuesOutsideTheButtonsAreIgnored) {
    EXPECT_FALSE(DecodeKXReply(report(32, 10, 9, 6), selecting(0)));
    const auto pwm = DecodeKXReply(report(32, 10, 9, 32), selecting(0));
    ASSERT_TRUE(pwm);
    EXPECT_EQ(pwm->field, KxField::optPWMM);
    EXPECT_EQ(pwm->optionIndex, 32);
    EXPECT_TRUE(pwm->isOption());

    EXPECT_FALSE(DecodeKXReply(report(32, 10, 10, 3), selecting(0)));
    EXPECT_EQ(DecodeKXReply(report(32, 10, 10, 0), selecting(0))->field, KxField::optOCD);
    EXPECT_FALSE(DecodeKXReply(report(32, 10, 11, 3), selecting(0)));
    EXPECT_EQ(DecodeKXReply(report(32, 10, 75, 2), selecting(0, true))->optionIndex, 2);
    EXPECT_FALSE(DecodeKXReply(report(32, 10, 12, 2), selecting(0)));
    EXPECT_EQ(DecodeKXReply(report(32, 10, 12, 1), selecting(0))->field, KxField::optPC);
}

TEST(DecodeKXReply, UnknownCommandBytesAreIgnored) {
    for (int v : {0, 64, 16, 63, 127})
        EXPECT_FALSE(DecodeKXReply(report(32, 10, v, 1), selecting(0))) << v;
}

}  // namespace
}  // namespace korvel
