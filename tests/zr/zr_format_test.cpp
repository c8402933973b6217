#include "zr/zr_format.h"

#include <gtest/gtest.h>

#include "zr/zr_replies.h"
#include "zr/zr_selection.h"

namespace korvel {
namespace {

TEST(ZrFormat, TimingFieldIsEightColumnsOfMillisecondsOrDefault) {
    EXPECT_EQ(FormatZRTime(0), " Default");
    EXPECT_EQ(FormatZRTime(1), "    16ms");
    EXPECT_EQ(FormatZRTime(6), "   100ms");
    EXPECT_EQ(FormatZRTime(12), "   200ms");
    EXPECT_EQ(FormatZRTime(60), "  1000ms");
    EXPECT_EQ(FormatZRTime(127), "  2116ms");
    EXPECT_EQ(FormatZRTime(128 + 60), FormatZRTime(60));
    EXPECT_EQ(FormatZRTime(255), FormatZRTime(127));
}

TEST(ZrFormat, NumbersAreRightAlignedInTheirField) {
    EXPECT_EQ(AlignNumber(0, 6), "     0");
    EXPECT_EQ(AlignNumber(5, 6), "     5");
    EXPECT_EQ(AlignNumber(42, 6), "    42");
    EXPECT_EQ(AlignNumber(63, 2), "63");
    EXPECT_EQ(AlignNumber(7, 0), "");
    EXPECT_EQ(AlignNumber(1234, 3), "234");
    EXPECT_EQ(AlignNumber(7, 12), std::string(9, ' ') + "7");
}

TEST(ZrFormat, PowerNames) {
    EXPECT_EQ(ZRPowerName(0), "Normal");
    EXPECT_EQ(ZRPowerName(1), "Low");
    EXPECT_EQ(ZRPowerName(2), "High");
    EXPECT_EQ(ZRPowerName(3), "Unlimited");
    EXPECT_EQ(ZRPowerName(4), "Invalid setting");
    EXPECT_EQ(ZRPowerName(127), "Invalid setting");
    EXPECT_EQ(ZRPowerName(-1), "Invalid setting");
}

ReplyBuffer replyOf(std::initializer_list<std::uint8_t> headerAndData) {
    ReplyBuffer r;
    std::size_t i = 0;
    for (std::uint8_t b : headerAndData) r.bytes[i++] = b;
    return r;
}

TEST(ZrReplies, DefaultTimingNeedsFourDataBytesAndTheRightCodeForTheFlag) {
    const ZrTarget active{3, false};
    const ZrTarget permanent{3, true};
    EXPECT_EQ(zrDefaultTimingRequest(active), (Frame{0, 67, 48}));
    EXPECT_EQ(zrDefaultTimingRequest(permanent), (Frame{0, 67, 112}));

    EXPECT_EQ(zrDefaultTimingReply(replyOf({12, 0, 67, 49, 12}), active), 12);
    EXPECT_EQ(zrDefaultTimingReply(replyOf({0x4C, 0, 67, 49, 12}), active), 12);
    EXPECT_EQ(zrDefaultTimingReply(replyOf({12, 0, 67, 113, 30}), permanent), 30);
    EXPECT_EQ(zrDefaultTimingReply(replyOf({12, 0, 67, 49, 12}), permanent), std::nullopt);
    EXPECT_EQ(zrDefaultTimingReply(replyOf({12, 0, 67, 113, 12}), active), std::nullopt);
    EXPECT_EQ(zrDefaultTimingReply(replyOf({13, 0, 67, 49, 12, 0}), active), std::nullopt);
    EXPECT_EQ(zrDefaultTimingReply(replyOf({12, 0, 66, 49, 12}), active), std::nullopt);
    EXPECT_EQ(zrDefaultTimingReply(replyOf({12, 1, 67, 49, 12}), active), std::nullopt);
}

TEST(ZrReplies, DeviceRepliesCarryTheirOwnDeviceNumber) {
    const ZrTarget t{1, false};
    EXPECT_EQ(zrDeviceTimingRequest(t, 9), (Frame{0, 65, 48, 9}));
    EXPECT_EQ(zrDevicePowerRequest(t, 9), (Frame{0, 65, 56, 9}));
    EXPECT_EQ(zrDevicePowerRequest({1, true}, 9), (Frame{0, 65, 120, 9}));

    const auto timing = zrDeviceTimingReply(replyOf({13, 0, 65, 50, 41, 60}), t);
    ASSERT_TRUE(timing);
    EXPECT_EQ(timing->device, 41);
    EXPECT_EQ(timing->value, 60);
    EXPECT_FALSE(zrDevicePowerReply(replyOf({13, 0, 65, 50, 41, 60}), t));
    const auto power = zrDevicePowerReply(replyOf({13, 0, 65, 58, 2, 3}), t);
    ASSERT_TRUE(power);
    EXPECT_EQ(power->device, 2);
    EXPECT_EQ(power->value, 3);
    EXPECT_FALSE(zrDevicePowerReply(replyOf({12, 0, 65, 58, 2}), t));
    EXPECT_FALSE(zrDevicePowerReply(replyOf({13, 0, 65, 122, 2, 3}), t));
}

TEST(ZrSelection, OnlyASingleModuleOffersTheReport) {
    const ZrReportVisibility hidden{false, false, false};
    const ZrReportVisibility button{true, false, false};
    EXPECT_EQ(ZRSelectionChanged(-1), hidden);
    EXPECT_EQ(ZRSelectionChanged(0), button);
    EXPECT_EQ(ZRSelectionChanged(7), button);
    EXPECT_EQ(ZRSelectionChanged(std::nullopt), hidden);
    EXPECT_EQ(ShowZRReportButton(true), button);
    EXPECT_EQ(ShowZRReportButton(false), hidden);
}

}  // namespace
}  // namespace korvel
