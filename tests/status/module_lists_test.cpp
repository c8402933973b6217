#include "status/module_lists.h"

#include <gtest/gtest.h>

namespace korvel {
namespace {

using Entries = std::vector<ListEntry>;

struct ModuleLists : ::testing::Test {
    void kx(int n, std::int16_t type) { registry.kxTypes[static_cast<std::size_t>(n)] = type; }
    void zr(int n) { registry.zrPresent[static_cast<std::size_t>(n)] = 1; }
    ModuleRegistry registry;
};

TEST_F(ModuleLists, NothingAnsweredLeavesBothListsEmptyWithoutSelection) {
    registry.kxList.add("stale", 4);
    registry.kxList.selected = 0;
    rebuildKxListStandard(registry);
    rebuildZrList(registry);
    EXPECT_TRUE(registry.kxList.empty());
    EXPECT_EQ(registry.kxList.selected, -1);
    EXPECT_TRUE(registry.zrList.empty());
    EXPECT_EQ(registry.zrList.selected, -1);
}

TEST_F(ModuleLists, WobeAloneGetsItsGroupAndIsSelected) {
    kx(3, kKxWobe);
    rebuildKxListStandard(registry);
    EXPECT_EQ(registry.kxList.entries, (Entries{{"All_WOBE", -3}, {" 3", 3}}));
    EXPECT_EQ(registry.kxList.selected, 1);
}

TEST_F(ModuleLists, Kx44WithBothHalvesAndAKxH) {
    kx(0, kKx44);
    kx(16, kKx44);
    kx(2, kKxH);
    rebuildKxListStandard(registry);
    EXPECT_EQ(registry.kxList.entries, (Entries{{"All_KXxx", -1},
                                                {"All_KX44", -4},
                                                {"All_KX-H", -2},
                                                {" 0.0", 0},
                                                {" 0.1", 16},
                                                {" 2", 2}}));
    EXPECT_EQ(registry.kxList.selected, 3);
}

TEST_F(ModuleLists, Kx44WithoutSecondHalfListsOnlyItsFirstHalf) {
    kx(12, kKx44);
    rebuildKxListStandard(registry);
    EXPECT_EQ(registry.kxList.entries,
              (Entries{{"All_KXxx", -1}, {"All_KX44", -4}, {" 12.0", 12}}));
    EXPECT_EQ(registry.kxList.selected, 2);
}

TEST_F(ModuleLists, UnrecognisedTypeGetsAnEntryButNoGroup) {
    kx(7, kKxUnknown);
    rebuildKxListStandard(registry);
    EXPECT_EQ(registry.kxList.entries, (Entries{{" 7", 7}}));
    EXPECT_EQ(registry.kxList.selected, 0);
}

TEST_F(ModuleLists, SecondHalfWithoutAFirstHalfIsNotListed) {
    kx(21, kKx44);  // left over, its first half is gone
    rebuildKxListStandard(registry);
    EXPECT_TRUE(registry.kxList.empty());
}

TEST_F(ModuleLists, ClassicFormHasNoKx44EntriesAndOnlyTwoGroups) {
    kx(1, kKxH);
    kx(4, kKxWobe);
    kx(6, kKx44);  // a classic request never writes 3, but the form must not split it
    kx(22, kKx44);
    kx(9, kKxUnknown);
    rebuildKxListClassic(registry);
    EXPECT_EQ(
        registry.kxList.entries,
        (Entries{{"All_KX-H", -2}, {"All_WOBE", -3}, {" 1", 1}, {" 4", 4}, {" 6", 6}, {" 9", 9}}));
    EXPECT_EQ(registry.kxList.selected, 2);
}

TEST_F(ModuleLists, ZrListOpensOnAll) {
    zr(1);
    zr(6);
    rebuildZrList(registry);
    EXPECT_EQ(registry.zrList.entries, (Entries{{"All", -1}, {" 1", 1}, {" 6", 6}}));
    EXPECT_EQ(registry.zrList.selected, 0);
}

TEST_F(ModuleLists, IndexesOutsideTheModuleRangesAreIgnored) {
    registry.kxTypes[32] = kKxH;
    registry.zrPresent[8] = 1;
    rebuildKxListStandard(registry);
    rebuildZrList(registry);
    EXPECT_TRUE(registry.kxList.empty());
    EXPECT_TRUE(registry.zrList.empty());
}

}  // namespace
}  // namespace korvel
