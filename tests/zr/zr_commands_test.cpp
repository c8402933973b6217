#include "zr/zr_commands.h"

#include <gtest/gtest.h>

#include "sim/handlers.h"
#include "tests/support/recorders.h"

namespace korvel {
namespace {

using sim::FrameData;
using testing::SimBench;

ZrSettingBoxes boxes(std::string time, std::string device = "0") {
    ZrSettingBoxes b;
    b.timeText = std::move(time);
    b.deviceText = std::move(device);
    return b;
}

TEST(ZrSettings, OutOfRangeBoxesAreCorrectedToWhatIsSent) {
    ZrSetting s = zrDefaultTimeSetting(boxes("200"));
    EXPECT_EQ(s.v, 127);
    EXPECT_EQ(s.correctedTime, "127");
    s = zrDefaultTimeSetting(boxes("-3"));
    EXPECT_EQ(s.v, 0);
    EXPECT_EQ(s.correctedTime, "0");
    s = zrDeviceTimeSetting(boxes("30", "64"));
    EXPECT_EQ(s.v, 63);
    EXPECT_EQ(s.x, 30);
    EXPECT_EQ(s.correctedDevice, "63");
    EXPECT_EQ(s.correctedTime, std::nullopt);
    s = zrDevicePowerSetting(boxes("999", "-1"));
    EXPECT_EQ(s.correctedDevice, "0");
    EXPECT_EQ(s.correctedTime, std::nullopt);  // the power button leaves the time box alone
}

TEST(ZrSettings, InRangeTextIsKeptAndHalvesRoundToEven) {
    ZrSetting s = zrDefaultTimeSetting(boxes("12.5"));
    EXPECT_EQ(s.v, 12);
    EXPECT_EQ(s.correctedTime, std::nullopt);
    EXPECT_EQ(zrDefaultTimeSetting(boxes("13.5")).v, 14);
    EXPECT_EQ(zrDefaultTimeSetting(boxes("6.5 s")).v, 6);
    s = zrDeviceTimeSetting(boxes("", "abc"));
    EXPECT_EQ(s.v, 0);
    EXPECT_EQ(s.x, 0);
    EXPECT_EQ(s.correctedTime, std::nullopt);
    EXPECT_EQ(s.correctedDevice, std::nullopt);
    // 127.5 rounds above the range, so it is corrected rather than sent as 128.
    EXPECT_EQ(zrDefaultTimeSetting(boxes("127.5")).correctedTime, "127");
}

TEST(ZrSettings, PowerCodeOfTheOptionButtons) {
    EXPECT_EQ(zrPowerCode({true, false, false, false}), 0);
    EXPECT_EQ(zrPowerCode({false, true, false, false}), 1);
    EXPECT_EQ(zrPowerCode({false, false, false, true}), 3);
    EXPECT_EQ(zrPowerCode({false, false, false, false}), 0);
    EXPECT_EQ(zrPowerCode({false, true, true, false}), 2);
}

struct ZrCommands : ::testing::Test {
    ZrCommands() {
        b.openPort();
        sim::SimModule zr2;
        zr2.family = sim::ModuleFamily::ZR;
        zr2.number = 2;
        b.controller.system().modules.push_back(zr2);
        registry.zrList.add("All", kAllZR);
        registry.zrList.add(" 2", 2);
        registry.zrList.selected = 1;
    }
    sim::SimModule& module2() {
        return *sim::findModule(b.controller.system(), sim::ModuleFamily::ZR, 2);
    }
    SimBench b;
    ModuleRegistry registry;
};

TEST_F(ZrCommands, DeviceTimeAndPowerReachTheModule) {
    ZrSettingBoxes in = boxes("30", "5");
    in.permanent = true;
    SendZRSetting(b.link, registry, zrDeviceTimeSetting(in));
    EXPECT_EQ(b.frames(), (std::vector<FrameData>{{}, {0, 66, 96, 5, 30}, {}}));
    EXPECT_EQ(module2().zrPermanent.devices[5].time, 30);
    EXPECT_NE(module2().zrActive.devices[5].time, 30);

    in.permanent = false;
    in.power = {false, false, true, false};
    SendZRSetting(b.link, registry, zrDevicePowerSetting(in));
    EXPECT_EQ(b.commandsSince(3), (std::vector<FrameData>{{0, 66, 40, 5, 2}}));
    EXPECT_EQ(module2().zrActive.devices[5].power, 2);

    SendZRSetting(b.link, registry, zrDefaultTimeSetting(boxes("40")));
    EXPECT_EQ(b.commandsSince(6), (std::vector<FrameData>{{0, 66, 32, 40}}));
    EXPECT_EQ(module2().zrActive.defaultTime, 40);
}

TEST_F(ZrCommands, EraseAsksFirstAndErasesOnOk) {
    module2().zrActive.defaultTime = 99;
    EraseZRSettings(b.link, registry);
    ASSERT_EQ(b.prompter.shown.size(), 1u);
    EXPECT_EQ(b.prompter.shown[0].text,
              "Warning! This will permanently erase all settings of all selected ZR32-units");
    EXPECT_EQ(b.prompter.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(b.prompter.shown[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(b.frames(), (std::vector<FrameData>{{}, {0, 66, 64}, {}}));
    EXPECT_EQ(module2().zrActive.defaultTime, sim::ZrSettings{}.defaultTime);
}

TEST_F(ZrCommands, CancelledEraseSendsNothing) {
    b.prompter.answer = MessageAnswer::Cancel;
    EraseZRSettings(b.link, registry);
    ASSERT_EQ(b.prompter.shown.size(), 2u);
    EXPECT_EQ(b.prompter.shown[1].text, "Operation Cancelled");
    EXPECT_EQ(b.prompter.shown[1].icon, MessageIcon::None);
    EXPECT_EQ(b.prompter.shown[1].buttons, MessageButtons::Ok);
    EXPECT_TRUE(b.frames().empty());
}

}  // namespace
}  // namespace korvel
