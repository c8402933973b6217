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

TEST(ViewChoice, OnlyLeftButtonWithShiftAloneAsksForClassic) {
    EXPECT_TRUE(classicViewRequested(kLeftButton, kShiftMask));
    EXPECT_FALSE(classicViewRequested(kLeftButton, 0));
    EXPECT_FALSE(classicViewRequested(kLeftButton, kShiftMask | kCtrlMask));
    EXPECT_FALSE(classicViewRequested(kLeftButton, kShiftMask | kAltMask));
    EXPECT_FALSE(classicViewRequested(kRightButton, kShiftMask));
    EXPECT_FALSE(classicViewRequested(kLeftButton | kRightButton, kShiftMask));
}

}  // namespace
}  // namespace korvel
