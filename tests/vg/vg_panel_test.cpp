#include "vg/vg_panel.h"

#include <gtest/gtest.h>

namespace korvel {
namespace {

TEST(VgFlags, ByUnitTypeAndVersion) {
    struct Case {
        VgUnit unit;
        int version;
        VgPanelFlags flags;
    };
    const Case cases[] = {
        {VgUnit::VgH, 2000, {false, false, false}}, {VgUnit::VgH, -1, {false, false, false}},
        {VgUnit::VgU, 1011, {true, true, true}},    {VgUnit::VgU, 1010, {true, true, false}},
        {VgUnit::VgU, -1, {true, true, false}},     {VgUnit::VgC, 1011, {true, true, true}},
        {VgUnit::VgC, 1010, {true, true, false}},   {VgUnit::Wobe, 1021, {true, false, true}},
        {VgUnit::Wobe, 1020, {true, false, false}}, {VgUnit::Wobe, -1, {true, false, false}},
        {VgUnit::Unknown, -1, {true, true, true}},  {VgUnit::Unknown, 0, {true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.unit) * 10000 + c.version);
        EXPECT_EQ(vgPanelFlags(c.unit, c.version), c.flags);
    }
}

using Boxes = std::array<bool, 8>;

TEST(VgVisibility, DesignTimeLookEqualsAllFlagsSet) {
    const VgPanelVisibility initial = initialVgPanelVisibility();
    EXPECT_TRUE(initial.configFrame);
    EXPECT_TRUE(initial.optionFrame);
    EXPECT_EQ(initial.configBoxes, (Boxes{true, false, false, false, true, true, true, false}));
    EXPECT_EQ(initial.optionBoxes, (Boxes{false, true, false, false, true, true, true, false}));
    EXPECT_EQ(vgPanelVisibility({true, true, true}), initial);
}

TEST(VgVisibility, VgHHidesBothFrames) {
    const VgPanelVisibility v = vgPanelVisibility(vgPanelFlags(VgUnit::VgH, 1020));
    EXPECT_FALSE(v.configFrame);
    EXPECT_FALSE(v.optionFrame);
}

TEST(VgVisibility, WobeKeepsOnlyYn32RetrAndShowsOptionsAbove1020) {
    const VgPanelVisibility old = vgPanelVisibility(vgPanelFlags(VgUnit::Wobe, 1020));
    EXPECT_TRUE(old.configFrame);
    EXPECT_EQ(old.configBoxes, (Boxes{false, false, false, false, true, false, false, false}));
    EXPECT_FALSE(old.optionFrame);

    const VgPanelVisibility recent = vgPanelVisibility(vgPanelFlags(VgUnit::Wobe, 1021));
    EXPECT_TRUE(recent.optionFrame);
    EXPECT_EQ(recent.optionBoxes, (Boxes{false, false, false, false, true, true, false, false}));
    EXPECT_STREQ(kVgOptionCaptions[4], "Transp.M");
    EXPECT_STREQ(kVgOptionCaptions[5], "Boot.KX");
}

TEST(VgVisibility, OlderVgUOffersNoTransparentModeOrKxBoot) {
    const VgPanelVisibility v = vgPanelVisibility(vgPanelFlags(VgUnit::VgU, 1010));
    EXPECT_TRUE(v.optionFrame);
    EXPECT_EQ(v.configBoxes, (Boxes{true, false, false, false, true, true, true, false}));
    EXPECT_EQ(v.optionBoxes, (Boxes{false, true, false, false, false, false, true, false}));
}

}  // namespace
}  // namespace korvel
