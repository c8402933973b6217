#include "sim/handlers.h"
#include "tests/support/recorders.h"
#include "ui_model/zr_routines.h"
#include "zr/zr_commands.h"
#include "zr/zr_format.h"
#include "zr/zr_replies.h"
#include "zr/zr_report.h"

namespace korvel {
namespace {

using namespace std::chrono_literals;
using sim::FrameData;
using testing::OpenBench;
using testing::replyOf;
using Frames = std::vector<FrameData>;

TEST(ZrFormat, TimingNumbersAndPowerNames) {
    const std::pair<int, const char*> times[] = {{0, " Default"},   {1, "    16ms"},
                                                 {6, "   100ms"},   {60, "  1000ms"},
                                                 {127, "  2116ms"}, {188, "  1000ms"}};
    for (const auto& [t, text] : times) EXPECT_EQ(FormatZRTime(t), text) << t;
    EXPECT_EQ(AlignNumber(5, 6) + AlignNumber(1234, 3), "     5234");
    const char* powers[] = {"Normal", "Low", "High", "Unlimited", "Invalid setting"};
    for (int p = 0; p <= 4; ++p) EXPECT_EQ(ZRPowerName(p), powers[p]);
    EXPECT_EQ(ZRPowerName(-1), "Invalid setting");
}

TEST(ZrReplies, OnlyTheAnswersThatBelongToTheRequest) {
    const ZrTarget active{3, false}, permanent{3, true};
    EXPECT_EQ(zrDefaultTimingReply(replyOf({0, 67, 49, 12}, 0x40), active), 12);
    EXPECT_EQ(zrDefaultTimingReply(replyOf({0, 67, 113, 30}), permanent), 30);
    for (const ReplyBuffer& wrong : {replyOf({0, 67, 113, 12}), replyOf({0, 67, 49, 12, 0}),
                                     replyOf({0, 66, 49, 12}), replyOf({1, 67, 49, 12})})
        EXPECT_EQ(zrDefaultTimingReply(wrong, active), std::nullopt);
    const auto timing = zrDeviceTimingReply(replyOf({0, 67, 50, 41, 60}), active);
    ASSERT_TRUE(timing);
    EXPECT_EQ(std::tuple(timing->device, timing->value), std::tuple(41, 60));
    EXPECT_FALSE(zrDevicePowerReply(replyOf({0, 67, 50, 41, 60}), active));
    EXPECT_EQ(zrDevicePowerReply(replyOf({0, 67, 122, 2, 3}), permanent)->value, 3);
    EXPECT_FALSE(zrDevicePowerReply(replyOf({0, 67, 58, 2}), active));
}

TEST(ZrSettings, WhatEachButtonSendsAndTheBoxesItCorrects) {
    // the button, the time and device boxes, the power options; what it sends and corrects
    using Make = ZrBoxSetting (*)(const ZrSettingBoxes&);
    const std::tuple<Make, const char*, const char*, std::array<bool, 4>, ZrBoxSetting> cases[] = {
        {zrDefaultTimeSetting, "12.5", "0", {}, {2, 32, 12, 0, {}, {}}},
        {zrDefaultTimeSetting, "127.5", "0", {}, {2, 32, 127, 0, "127", {}}},
        {zrDefaultTimeSetting, "-3", "0", {}, {2, 32, 0, 0, "0", {}}},
        {zrDeviceTimeSetting, "30", "64", {}, {3, 32, 63, 30, {}, "63"}},
        {zrDeviceTimeSetting, "128", "63", {}, {3, 32, 63, 127, "127", {}}},
        {zrDeviceTimeSetting, "", "abc", {}, {3, 32, 0, 0, {}, {}}},
        {zrDevicePowerSetting, "999", "-1", {false, true, true, false}, {3, 40, 0, 2, {}, "0"}},
        {zrDevicePowerSetting, "1", "5", {false, false, false, true}, {3, 40, 5, 3, {}, {}}},
        {zrDevicePowerSetting, "1", "5", {}, {3, 40, 5, 0, {}, {}}},
    };
    for (const auto& [make, time, device, power, expected] : cases)
        EXPECT_EQ(make({.timeText = time, .deviceText = device, .power = power}), expected)
            << time << " / " << device;
    EXPECT_EQ(zrDeviceTimeSetting({.permanent = true}).c, 96);
}

// The demo system: ZR32 modules at 1 and 6.
struct Zr : ::testing::Test {
    sim::ZrSettings& active(int module) {
        return sim::findModule(b.controller.system(), sim::ModuleFamily::ZR, module)->zrActive;
    }
    OpenBench b;
    WindowRegistry registry = testing::demoRegistry();
};

TEST_F(Zr, SettingsReachTheSelectedModuleAndEraseAsksFirst) {
    registry.zrList.selected = 1;
    SendZRSetting(b.link, b.prompter, registry,
                  zrDeviceTimeSetting({.timeText = "30", .deviceText = "5"}));
    EXPECT_EQ(b.frames(), (Frames{{}, {0, 65, 32, 5, 30}, {}}));
    EXPECT_EQ(active(1).devices[5].time, 30);
    EraseZRSettings(b.link, b.prompter, registry);
    EXPECT_EQ(b.commandsSince(3), (Frames{{0, 65, 64}}));
    EXPECT_EQ(active(1).devices[5].time, 0);
    testing::expectEraseWarning(b.prompter, "ZR32");
    b.prompter.answer = MessageAnswer::Cancel;
    EraseZRSettings(b.link, b.prompter, registry);
    EXPECT_EQ(b.prompter.texts().back(), "Operation Cancelled");
    EXPECT_EQ(b.frames().size(), 6u);
}

struct Inputs final : ZrReportInputs {
    std::optional<std::int32_t> selectedModule() override { return module; }
    bool permanent() override { return perm; }
    std::optional<std::int32_t> module = 1;
    bool perm = false;
};

struct ZrReport : Zr {
    std::string run() {
        pieces.clear();
        return RunZRReport(b.link, inputs, [this](std::string_view p) { pieces += p; });
    }
    Inputs inputs;
    std::string pieces;
};

TEST_F(ZrReport, ActiveAndPermanentSettingsAsTheModuleHoldsThem) {
    sim::findModule(b.controller.system(), sim::ModuleFamily::ZR, 1)->zrLateEvery = 3;
    EXPECT_EQ(run(), testing::zrReportOf(active(1), 1, false));
    EXPECT_EQ(pieces, testing::zrReportOf(active(1), 1, false));
    const Frames sent = b.commandsSince(0);
    ASSERT_EQ(sent.size(), 1u + 128u);
    EXPECT_EQ(Frames(sent.begin() + 1, sent.begin() + 3), (Frames{{0, 65, 48, 0}, {0, 65, 56, 0}}));
    inputs.module = 6;
    inputs.perm = true;
    const auto& stored =
        sim::findModule(b.controller.system(), sim::ModuleFamily::ZR, 6)->zrPermanent;
    EXPECT_EQ(run(), testing::zrReportOf(stored, 6, true));
    EXPECT_TRUE(b.prompter.shown.empty());
}

TEST_F(ZrReport, LateAnswersAreFetchedUntilThePowerOfTheLastDevice) {
    b.controller.faults().moduleAnswerDelay = 4;
    EXPECT_EQ(run(), testing::zrReportOf(active(1), 1, false));
    const auto& frames = b.frames();
    EXPECT_EQ(std::find_if(frames.rbegin(), frames.rend(), [](auto& f) { return !f.empty(); }) -
                  frames.rbegin(),
              4);  // the empty frames that fetched them
}

TEST_F(ZrReport, ASilentModuleLeavesTheHeadingsAndEndsTenSecondsAfterTheSweep) {
    inputs.module = 5;
    const auto begin = b.clock.now();
    EXPECT_EQ(run(), "ZR32#5 Active settings:\r\nDevice  Timing  Power\r\n");
    EXPECT_GE(b.clock.now() - begin, 12s);
    EXPECT_LT(b.clock.now() - begin, 13s);
    EXPECT_TRUE(b.prompter.shown.empty());
}

// Ticking Permanent halfway turns the rest of the sweep to the stored settings.
TEST_F(ZrReport, PermanentIsReadAgainBeforeEveryRequestAndOnlyModules0To7AreAsked) {
    RunZRReport(b.link, inputs, [&](std::string_view p) { inputs.perm = p.starts_with("     9"); });
    EXPECT_EQ(b.commandsSince(0)[1 + 2 * 9 + 1], (FrameData{0, 65, 120, 9}));
    EXPECT_EQ(b.commandsSince(0)[1 + 2 * 10 + 1], (FrameData{0, 65, 56, 10}));
    const std::size_t frames = b.frames().size();
    for (std::int32_t module : {kAllZR, 8}) {
        inputs.module = module;
        EXPECT_EQ(run(), "");
    }
    EXPECT_EQ(b.commandsSince(frames), Frames{});
}

// The default timing counts when its frame ends exactly 2 s after the request was sent.
TEST_F(ZrReport, DefaultTimingCountsUpToTwoSecondsAfterItsRequest) {
    // Request 5 bytes out, answer 2 in; then the empty frame, 2 out and 6 in.
    const auto inTime = 2s - 15 * sim::MemoryPort::kByteTime;
    b.controller.faults().moduleAnswerDelay = 1;  // not in the request's own answer
    for (const auto& [late, shown] : {std::pair{inTime, true}, std::pair{inTime + 1ns, false}}) {
        b.controller.faults().aimed = testing::aimedAt(sim::FaultKind::Late, {0, 65, 48}, late);
        const std::string text = run();
        EXPECT_EQ(text.find("Default Timing =   200ms") != std::string::npos, shown)
            << text.substr(0, 60);
        EXPECT_NE(text.find("    63   300ms  Unlimited"), std::string::npos);
    }
}

}  // namespace
}  // namespace korvel
