#include <gtest/gtest.h>

#include "status/status_texts.h"
#include "status/view_choice.h"

namespace korvel {
namespace {

struct StatusCase {
    std::uint8_t status;
    const char* kx;
    const char* zr;
    const char* qh;
};

TEST(ModuleStatusText, TestsAnswerIdleThenFaultOrHold) {
    const StatusCase cases[] = {
        {0x00, "Not Found", "Not Found", "Not Found"},
        {0x37, "Not Found", "Not Found", "Not Found"},  // bit 3 clear outweighs the rest
        {0x08, "Active", "Active", "Active"},
        {0x0B, "Active", "Active", "Active"},
        {0x18, "Idle", "Idle", "Idle"},
        {0x38, "Idle", "Idle", "Idle"},  // idle is tested before fault
        {0x28, "Fault", "Hold", "Active"},
        {0x48, "Active", "Active", "Active"},  // bit 6 means nothing
    };
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.status));
        EXPECT_EQ(moduleStatusText(ModuleKind::KX, c.status), c.kx);
        EXPECT_EQ(moduleStatusText(ModuleKind::ZR, c.status), c.zr);
        EXPECT_EQ(moduleStatusText(ModuleKind::QH, c.status), c.qh);
    }
}

TEST(KxType, TypeBitsGiveTableCodeAndText) {
    const std::pair<std::int16_t, std::string> expected[] = {
        {kKxH, "KX-H"},          {kKx44, "KX44"},         {kKxWobe, "WOBE-s"},
        {kKxUnknown, "Unknown"}, {kKxUnknown, "Unknown"}, {kKxUnknown, "Unknown"},
        {kKxUnknown, "Unknown"}, {kKxUnknown, "Unknown"},
    };
    for (int bits = 0; bits < 8; ++bits) {
        const KxTypeInfo info = kxTypeOf(static_cast<std::uint8_t>(0x38 | bits));
        EXPECT_EQ(info.code, expected[bits].first) << bits;
        EXPECT_EQ(info.text, expected[bits].second) << bits;
    }
}

TEST(SystemType, CaptionPrefixAndUnit) {
    EXPECT_STREQ(systemTypeOf(1).caption, "VG-H");
    EXPECT_STREQ(systemTypeOf(1).versionPrefix, "VG-H");
    EXPECT_STREQ(systemTypeOf(2).versionPrefix, "VG-U ");
    EXPECT_STREQ(systemTypeOf(3).versionPrefix, "VG-C ");
    EXPECT_STREQ(systemTypeOf(10).caption, "WOBE");
    EXPECT_STREQ(systemTypeOf(10).versionPrefix, "WOBE ");
    EXPECT_EQ(systemTypeOf(10).unit, VgUnit::Wobe);
    for (int code : {-1, 0, 4, 9, 11, 127}) {
        EXPECT_STREQ(systemTypeOf(code).caption, "Unknown") << code;
        EXPECT_EQ(systemTypeOf(code).versionPrefix, nullptr) << code;
        EXPECT_EQ(systemTypeOf(code).unit, VgUnit::Unknown) << code;
    }
}

TEST(SystemStatus, CodesZeroToThree) {
    EXPECT_EQ(systemStatusText(0), "OK");
    EXPECT_EQ(systemStatusText(1), "Hold");
    EXPECT_EQ(systemStatusText(2), "Fault");
    EXPECT_EQ(systemStatusText(3), "Fault+Hold");
}

TEST(ViewChoice, OnlyLeftButtonWithShiftAloneAsksForClassic) {
    EXPECT_TRUE(classicViewRequested(kLeftButton, kShiftMask));
    EXPECT_FALSE(classicViewRequested(kLeftButton, 0));
    EXPECT_FALSE(classicViewRequested(kLeftButton, kShiftMask | kCtrlMask));
    EXPECT_FALSE(classicViewRequested(kLeftButton, kShiftMask | kAltMask));
    EXPECT_FALSE(classicViewRequested(kRightButton, kShiftMask));
    EXPECT_FALSE(classicViewRequested(kLeftButton | kRightButton, kShiftMask));
}

TEST(ViewChoice, OldOrUnknownProtocolAlwaysGetsClassic) {
    EXPECT_TRUE(useClassicView(false, 3100));
    EXPECT_TRUE(useClassicView(false, -1));
    EXPECT_TRUE(useClassicView(false, 0));
    EXPECT_FALSE(useClassicView(false, 3101));
    EXPECT_TRUE(useClassicView(true, 3101));
}

}  // namespace
}  // namespace korvel
