#include "kx/commands.h"

#include <gtest/gtest.h>

#include "tests/support/recorders.h"

namespace korvel {
namespace {

using sim::FrameData;
using testing::SimBench;
using Frames = std::vector<FrameData>;

struct KxCommands : ::testing::Test {
    KxCommands() {
        b.openPort();
        registry.kxTypes[0] = kKxH;
        registry.kxTypes[2] = registry.kxTypes[18] = kKx44;
        registry.kxTypes[3] = kKxWobe;
        registry.kxTypes[5] = kKxH;
    }
    void select(std::int32_t itemData) {
        registry.kxList.clear();
        registry.kxList.add("entry", itemData);
        registry.kxList.selected = 0;
    }
    SimBench b;
    ModuleRegistry registry;
};

TEST_F(KxCommands, GetLeavesTheValueOffAndCarriesThePermanentBit) {
    select(19);
    const KxCommand c = numberCommand(KxNumberSetting::HFI, "9", {}, true);
    SendKXSetting(b.link, registry, KxButton::Get, c);
    EXPECT_EQ(b.frames(), (Frames{{}, {0, 35, 24, 65}, {}}));
}

TEST_F(KxCommands, SetSendsCommandAndValue) {
    select(3);
    SendKXSetting(b.link, registry, KxButton::Set,
                  numberCommand(KxNumberSetting::AlarmDelay, "100", {.alarmOn = true}, false));
    select(5);
    SendKXSetting(
        b.link, registry, KxButton::Set,
        numberCommand(KxNumberSetting::SwitchDelay, "3", {.switchOn = true, .bank1 = true}, false));
    EXPECT_EQ(b.commandsSince(0), (Frames{{0, 35, 8, 3, 100}, {0, 37, 8, 7, 3}}));
}

TEST_F(KxCommands, GroupSetGoesToEveryModuleOfTheGroup) {
    select(kAllKXxx);
    SendKXSetting(b.link, registry, KxButton::Set,
                  numberCommand(KxNumberSetting::DCShift, "4", {}, false));
    EXPECT_EQ(b.commandsSince(0),
              (Frames{{0, 32, 8, 8, 4}, {0, 34, 8, 8, 4}, {0, 37, 8, 8, 4}, {0, 34, 24, 8, 4}}));
}

TEST_F(KxCommands, EraseCancelledSendsNothing) {
    select(0);
    b.prompter.answer = MessageAnswer::Cancel;
    EraseKXSettings(b.link, registry);
    ASSERT_EQ(b.prompter.shown.size(), 2u);
    EXPECT_EQ(b.prompter.shown[0].text,
              "Warning! This will permanently erase all settings of all selected KX-units");
    EXPECT_EQ(b.prompter.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(b.prompter.shown[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(b.prompter.shown[1].text, "Operation Cancelled");
    EXPECT_EQ(b.prompter.shown[1].icon, MessageIcon::None);
    EXPECT_EQ(b.prompter.shown[1].buttons, MessageButtons::Ok);
    EXPECT_TRUE(b.frames().empty());
}

TEST_F(KxCommands, EraseConfirmedSendsCode64) {
    select(18);
    EraseKXSettings(b.link, registry);
    EXPECT_EQ(b.prompter.texts().size(), 1u);
    EXPECT_EQ(b.frames(), (Frames{{}, {0, 34, 24, 64}, {}}));
}

TEST_F(KxCommands, EraseOnAClosedPortAsksForThePortAfterTheWarning) {
    select(0);
    b.port.close();
    EraseKXSettings(b.link, registry);
    EXPECT_EQ(b.prompter.texts(),
              (std::vector<std::string>{
                  "Warning! This will permanently erase all settings of all selected KX-units",
                  "Selecteer communicatie poort"}));
}

TEST_F(KxCommands, MSButtonSendsTheModeExceptWithAllKXxxSelected) {
    select(5);
    SendOrCheckMSMode(b.link, registry, KxButton::Set, 2, true);
    SendOrCheckMSMode(b.link, registry, KxButton::Get, 2, false);
    EXPECT_EQ(b.commandsSince(0), (Frames{{0, 37, 8, 75, 2}, {0, 37, 8, 11}}));

    const std::size_t mark = b.frames().size();
    select(kAllKXxx);
    SendOrCheckMSMode(b.link, registry, KxButton::Get, 1, true);
    // The check asks each KX-H and KX44 half, never with the Permanent bit.
    EXPECT_EQ(b.commandsSince(mark),
              (Frames{{0, 32, 8, 11}, {0, 34, 8, 11}, {0, 37, 8, 11}, {0, 34, 24, 11}}));
}

}  // namespace
}  // namespace korvel
