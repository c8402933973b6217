// korvelctl's names of the KX settings come from the settings table: each
// setting's terminal name, one per variant its selectors address.
#include <gtest/gtest.h>

#include "backup/kx_setting_table.h"

namespace korvel::backup {
namespace {

TEST(KxSettingNames, OnePerVariantOfEverySettingInPageOrder) {
    const std::pair<const char*, KxSelectors> expected[] = {
        {"hfi", {}},
        {"alarm-delay", {}},
        {"alarm-delay --on", {.alarmOn = true}},
        {"switch-delay", {}},
        {"switch-delay --on", {.switchOn = true}},
        {"switch-delay --bank 1", {.bank1 = true}},
        {"switch-delay --on --bank 1", {.switchOn = true, .bank1 = true}},
        {"dc-shift", {}},
        {"pwm", {}},
        {"ocd", {}},
        {"ms", {}},
        {"power", {}},
        {"loop-current", {}},
        {"loop-current --loop B", {.loopB = true}},
        {"address", {}},
    };
    const std::span<const KxSettingName> rows = kxSettingRows();
    ASSERT_EQ(rows.size(), std::size(expected));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_STREQ(rows[i].name, expected[i].first);
        EXPECT_EQ(rows[i].selectors, expected[i].second) << expected[i].first;
        EXPECT_EQ(findKxSetting(expected[i].first), &rows[i]);
    }
    EXPECT_EQ(findKxSetting("switch-delay --bank 1 --on"), &rows[6]);
}

// What a single module of each type offers to read, and to write.
TEST(KxSettingNames, OfferedAndSettableFollowTheRowsAndTheReadOnlyMode) {
    const std::tuple<std::int16_t, const char*, bool, bool> cases[] = {
        {kKx44, "ms", true, false},
        {kKx44, "hfi", true, true},
        {kKx44, "power", false, false},
        {kKx44, "switch-delay --bank 1", false, false},
        {kKxH, "ms", true, true},
        {kKxH, "switch-delay --bank 1", true, true},
        {kKxWobe, "loop-current --loop B", true, true},
        {kKxWobe, "pwm", false, false}};
    for (const auto& [type, name, offered, settable] : cases) {
        const KxSettingName& row = *findKxSetting(name);
        const KxPageState page = kxPageOfType(type);
        EXPECT_EQ(offeredOn(row, page), offered) << name << " " << type;
        EXPECT_EQ(settableOn(row, page), settable) << name << " " << type;
    }
}

}  // namespace
}  // namespace korvel::backup
