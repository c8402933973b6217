// korvelctl's names of the KX settings come from the settings table: each
// setting's terminal name, one per variant its selectors address.
#include "ops/kx_names.h"

#include <gtest/gtest.h>

namespace korvel::ops {
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

}  // namespace
}  // namespace korvel::ops
