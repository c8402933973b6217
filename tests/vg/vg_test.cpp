#include <gtest/gtest.h>

#include "ui_model/vg_panel.h"
#include "vg/vg_commands.h"

namespace korvel {
namespace {

using Boxes = std::array<bool, 8>;

Boxes ticked(std::initializer_list<int> bits) {
    Boxes boxes{};
    for (int bit : bits) boxes[std::size_t(bit)] = true;
    return boxes;
}

TEST(VgPacking, NibblesOfTheConfigurationAndTheOptionBits) {
    EXPECT_EQ(packVgConfig(ticked({4}), false), (VgConfigCommand{6, 0, 1}));
    EXPECT_EQ(packVgConfig(ticked({0, 5, 6}), false), (VgConfigCommand{6, 1, 6}));
    EXPECT_EQ(packVgConfig(ticked({0, 1, 2, 3, 4, 5, 6, 7}), true), (VgConfigCommand{7, 15, 15}));
    EXPECT_EQ(packVgOptions(ticked({1, 6})), 66);
    EXPECT_EQ(packVgOptions(ticked({0, 1, 2, 3, 4, 5, 6, 7})), 127);
}

TEST(VgPanel, WhatEachUnitOffers) {
    const Boxes designConfig{true, false, false, false, true, true, true, false};
    const Boxes designOptions{false, true, false, false, true, true, true, false};
    const std::tuple<VgUnit, int, VgPanelFlags, VgPanelVisibility> cases[] = {
        {VgUnit::VgH, 2000, {false, false, false}, {false, false, ticked({4}), ticked({})}},
        {VgUnit::VgU, 1011, {true, true, true}, {true, true, designConfig, designOptions}},
        {VgUnit::VgU, 1010, {true, true, false}, {true, true, designConfig, ticked({1, 6})}},
        {VgUnit::VgC, 1010, {true, true, false}, {true, true, designConfig, ticked({1, 6})}},
        {VgUnit::Wobe, 1021, {true, false, true}, {true, true, ticked({4}), ticked({4, 5})}},
        {VgUnit::Wobe, 1020, {true, false, false}, {true, false, ticked({4}), ticked({})}},
        {VgUnit::Unknown, -1, {true, true, true}, {true, true, designConfig, designOptions}},
    };
    for (const auto& [unit, version, flags, visibility] : cases) {
        SCOPED_TRACE(int(unit) * 10000 + version);
        EXPECT_EQ(vgPanelFlags(unit, version), flags);
        EXPECT_EQ(vgPanelVisibility(flags), visibility);
    }
    EXPECT_EQ(initialVgPanelVisibility(),
              (VgPanelVisibility{true, true, designConfig, designOptions}));
}

}  // namespace
}  // namespace korvel
