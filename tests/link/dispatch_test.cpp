#include "link/dispatch.h"

#include <gtest/gtest.h>

#include "tests/support/recorders.h"

namespace korvel {
namespace {

using sim::FrameData;
using testing::SimBench;

struct Dispatch : ::testing::Test {
    Dispatch() { b.openPort(); }
    void selectKx(std::int32_t itemData) {
        registry.kxList.clear();
        registry.kxList.add("entry", itemData);
        registry.kxList.selected = 0;
    }
    void selectZr(std::int32_t itemData) {
        registry.zrList.clear();
        registry.zrList.add("entry", itemData);
        registry.zrList.selected = 0;
    }
    SimBench b;
    ModuleRegistry registry;
};

TEST_F(Dispatch, SingleKxModuleBetweenTwoEmptyFrames) {
    selectKx(5);
    SendModuleCommand(b.link, registry, Family::KX, 2, 8, 65, 20);
    EXPECT_EQ(b.frames(), (std::vector<FrameData>{{}, {0, 37, 8, 65}, {}}));
}

TEST_F(Dispatch, SecondHalfOfAKX44CarriesBit4InTheCommandByte) {
    selectKx(19);
    SendModuleCommand(b.link, registry, Family::KX, 3, 8, 1, 9);
    EXPECT_EQ(b.commandsSince(0), (std::vector<FrameData>{{0, 35, 24, 1, 9}}));
}

TEST_F(Dispatch, GroupsGoToEveryModuleOfTheirTypeInAscendingOrder) {
    registry.kxTypes[2] = kKxH;
    registry.kxTypes[7] = kKxH;
    registry.kxTypes[4] = kKx44;
    registry.kxTypes[20] = kKx44;
    registry.kxTypes[9] = kKxWobe;
    EXPECT_EQ(kxTargets(kAllKXH, registry.kxTypes), (std::vector<int>{2, 7}));
    EXPECT_EQ(kxTargets(kAllKXxx, registry.kxTypes), (std::vector<int>{2, 4, 7, 20}));
    EXPECT_EQ(kxTargets(kAllKX44, registry.kxTypes), (std::vector<int>{4, 20}));
    EXPECT_EQ(kxTargets(kAllWobe, registry.kxTypes), (std::vector<int>{9}));

    selectKx(kAllKXH);
    SendModuleCommand(b.link, registry, Family::KX, 2, 8, 11, 0);
    EXPECT_EQ(b.frames(), (std::vector<FrameData>{{}, {0, 34, 8, 11}, {0, 39, 8, 11}, {}}));
}

TEST_F(Dispatch, AGroupWithNoRegisteredModuleSendsOnlyTheEmptyFrames) {
    selectKx(kAllWobe);
    SendModuleCommand(b.link, registry, Family::KX, 2, 8, 11, 0);
    EXPECT_EQ(b.frames(), (std::vector<FrameData>{{}, {}}));
}

TEST_F(Dispatch, ZrAllGoesToEveryNumberAndStopsAtTheFirstUnanswered) {
    selectZr(kAllZR);
    SendModuleCommand(b.link, registry, Family::ZR, 1, 64, 0, 0);
    ASSERT_EQ(b.frames().size(), 10u);
    EXPECT_EQ(b.frames()[1], (FrameData{0, 64, 64}));
    EXPECT_EQ(b.frames()[8], (FrameData{0, 71, 64}));
}

TEST_F(Dispatch, VgCommandHasNoModuleAddress) {
    SendModuleCommand(b.link, registry, Family::VG, 4, 5, 3, 9);
    EXPECT_EQ(b.commandsSince(0), (std::vector<FrameData>{{1, 5, 3, 9}}));
}

TEST_F(Dispatch, EmptyListAsksForStatusButStillExchangesBothEmptyFrames) {
    SendModuleCommand(b.link, registry, Family::KX, 2, 8, 1, 0);
    EXPECT_EQ(b.prompter.texts(),
              std::vector<std::string>{"Please request Status first to register modules"});
    EXPECT_EQ(b.frames(), (std::vector<FrameData>{{}, {}}));
}

TEST_F(Dispatch, ClosedPortSendsNothing) {
    b.port.close();
    selectKx(5);
    SendModuleCommand(b.link, registry, Family::KX, 2, 8, 1, 0);
    EXPECT_EQ(b.prompter.texts(), std::vector<std::string>{"Selecteer communicatie poort"});
    EXPECT_TRUE(b.frames().empty());
}

TEST_F(Dispatch, UnansweredOpeningFrameSendsNothingElse) {
    selectKx(5);
    b.controller.faults().skipAnswers = 1;
    SendModuleCommand(b.link, registry, Family::KX, 2, 8, 1, 0);
    EXPECT_EQ(b.frames().size(), 1u);
}

}  // namespace
}  // namespace korvel
