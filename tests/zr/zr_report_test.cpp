#include "zr/zr_report.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/recorders.h"

namespace korvel {
namespace {

using namespace std::chrono_literals;
using sim::FrameData;
using testing::SimBench;

struct PageInputs final : ZrReportInputs {
    std::optional<std::int32_t> selectedModule() override { return module; }
    bool permanent() override { return perm; }
    std::optional<std::int32_t> module = 3;
    bool perm = false;
};

// ZR module 3 with a setting on every device that differs from its neighbours.
sim::SimSystem systemWithModule3() {
    sim::SimModule m;
    m.family = sim::ModuleFamily::ZR;
    m.number = 3;
    m.zrActive.defaultTime = 12;
    for (std::size_t d = 0; d < 64; ++d)
        m.zrActive.devices[d] = {static_cast<int>(d * 2 % 128), static_cast<int>(d % 5)};
    m.zrActive.devices[0] = {0, 0};
    m.zrActive.devices[1] = {60, 2};
    m.zrPermanent.defaultTime = 0;
    for (std::size_t d = 0; d < 64; ++d) m.zrPermanent.devices[d] = {127, 3};
    sim::SimSystem s;
    s.modules.push_back(m);
    return s;
}

// One report line per device, written out independently of the report's own helpers.
std::string deviceLine(int device, int time, int power) {
    static const char* const names[] = {"Normal", "Low", "High", "Unlimited", "Invalid setting"};
    const char* name = names[power < 4 ? power : 4];
    char line[64];
    if (time == 0)
        std::snprintf(line, sizeof line, "%6d Default  %s\r\n", device, name);
    else
        std::snprintf(line, sizeof line, "%6d%6dms  %s\r\n", device, time * 100 / 6, name);
    return line;
}

std::string expectedReport(const sim::ZrSettings& s, const std::string& header,
                           const std::string& defaultLine) {
    std::string text = "ZR32#3" + header + "\r\n" + defaultLine + "Device  Timing  Power\r\n";
    for (int d = 0; d < 64; ++d) {
        const sim::ZrDevice& dev = s.devices[static_cast<std::size_t>(d)];
        text += deviceLine(d, dev.time, dev.power);
    }
    return text;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

struct ZrReport : ::testing::Test {
    ZrReport() : b(systemWithModule3()) { b.openPort(); }
    std::string run() {
        pieces.clear();
        return RunZRReport(b.link, inputs, [this](std::string_view p) { pieces += p; });
    }
    // Empty frames sent after the last request that carried data.
    int trailingEmptyFrames() const {
        int n = 0;
        for (auto it = b.frames().rbegin(); it != b.frames().rend() && it->empty(); ++it) ++n;
        return n;
    }
    sim::ZrSettings& active() { return b.controller.system().modules[0].zrActive; }

    SimBench b;
    PageInputs inputs;
    std::string pieces;
};

TEST_F(ZrReport, WorkedExampleLineByLine) {
    const std::vector<std::string> lines = linesOf(run());
    ASSERT_EQ(lines.size(), 3u + 64u);
    EXPECT_EQ(lines[0], "ZR32#3 Active settings:");
    EXPECT_EQ(lines[1], "Default Timing =   200ms");
    EXPECT_EQ(lines[2], "Device  Timing  Power");
    EXPECT_EQ(lines[3], "     0 Default  Normal");
    EXPECT_EQ(lines[4], "     1  1000ms  High");
    EXPECT_EQ(lines[13], "    10   333ms  Normal");
    EXPECT_EQ(lines[66], "    63  2100ms  Unlimited");
}

TEST_F(ZrReport, AnswersInTimeGiveTheWholeConfigurationAndTheSinkSeesItGrow) {
    const std::string text = run();
    EXPECT_EQ(text, expectedReport(active(), " Active settings:", "Default Timing =   200ms\r\n"));
    EXPECT_EQ(pieces, text);
    const std::vector<FrameData> start(b.frames().begin(), b.frames().begin() + 5);
    EXPECT_EQ(start, (std::vector<FrameData>{
                         {}, {0, 67, 48}, {0, 67, 48, 0}, {0, 67, 56, 0}, {0, 67, 48, 1}}));
    EXPECT_EQ(b.commandsSince(0).size(), 1u + 128u);
    EXPECT_EQ(b.commandsSince(0).back(), (FrameData{0, 67, 56, 63}));
    EXPECT_EQ(trailingEmptyFrames(), 1);
    EXPECT_TRUE(b.prompter.shown.empty());
}

TEST_F(ZrReport, ASometimesLateModuleStillGivesEveryLineInOrder) {
    b.controller.system().modules[0].zrLateEvery = 3;
    EXPECT_EQ(run(), expectedReport(active(), " Active settings:", "Default Timing =   200ms\r\n"));
}

TEST_F(ZrReport, LatePhaseEndsAtThePowerOfTheLastDevice) {
    b.controller.faults().moduleAnswerDelay = 4;
    const std::string text = run();
    EXPECT_EQ(text, expectedReport(active(), " Active settings:", "Default Timing =   200ms\r\n"));
    EXPECT_EQ(trailingEmptyFrames(), 4);
}

TEST_F(ZrReport, ASilentModuleLeavesOnlyTheHeadingsAndEndsTenSecondsAfterTheSweep) {
    inputs.module = 5;  // no such module on the bus
    const sim::FakeClock::time_point begin = b.clock.now();
    EXPECT_EQ(run(), "ZR32#5 Active settings:\r\nDevice  Timing  Power\r\n");
    const auto elapsed = b.clock.now() - begin;
    EXPECT_GE(elapsed, 12s);
    EXPECT_LT(elapsed, 13s);  // the sweep of 128 frames takes well under a second
    EXPECT_EQ(b.commandsSince(0).size(), 1u + 128u);
    EXPECT_TRUE(b.prompter.shown.empty());
}

TEST_F(ZrReport, DefaultTimingThatComesTooLateIsLeftOut) {
    // About 1300 empty frames fit in two seconds; the answer needs more.
    b.controller.faults().moduleAnswerDelay = 1500;
    const std::vector<std::string> lines = linesOf(run());
    ASSERT_EQ(lines.size(), 2u + 64u);  // the device answers are still fetched after the sweep
    EXPECT_EQ(lines[1], "Device  Timing  Power");
    EXPECT_EQ(lines[2], "     0 Default  Normal");
}

TEST_F(ZrReport, PermanentSettingsAreAskedWithPlus64) {
    inputs.perm = true;
    const std::string text = run();
    EXPECT_EQ(text, expectedReport(b.controller.system().modules[0].zrPermanent,
                                   " Permanent settings:", "Default Timing = Default\r\n"));
    EXPECT_EQ(b.commandsSince(0)[0], (FrameData{0, 67, 112}));
    EXPECT_EQ(b.commandsSince(0)[1], (FrameData{0, 67, 112, 0}));
    EXPECT_EQ(b.commandsSince(0)[2], (FrameData{0, 67, 120, 0}));
}

TEST_F(ZrReport, TheFlagIsReadAnewBeforeEveryRequest) {
    // Ticking Permanent mid-run turns the rest of the sweep to the stored settings.
    const std::string text = RunZRReport(b.link, inputs, [&](std::string_view p) {
        if (p.substr(0, 6) == "     9") inputs.perm = true;
    });
    const std::vector<FrameData> commands = b.commandsSince(0);
    EXPECT_EQ(commands[1 + 2 * 9], (FrameData{0, 67, 48, 9}));
    EXPECT_EQ(commands[1 + 2 * 9 + 1], (FrameData{0, 67, 120, 9}));
    EXPECT_EQ(commands.back(), (FrameData{0, 67, 120, 63}));
    EXPECT_NE(text.find("    20  2116ms  Unlimited"), std::string::npos);
}

TEST_F(ZrReport, PortClosedShowsTheMessageAndSendsNothing) {
    b.port.close();
    EXPECT_EQ(run(), "");
    EXPECT_TRUE(b.frames().empty());
    ASSERT_EQ(b.prompter.shown.size(), 1u);
    EXPECT_EQ(b.prompter.shown[0].text, "Selecteer communicatie poort");
    EXPECT_EQ(b.prompter.shown[0].icon, MessageIcon::Exclamation);
}

TEST_F(ZrReport, TheAllEntryIsNeverAddressed) {
    inputs.module = -1;
    EXPECT_EQ(run(), "");
    EXPECT_TRUE(b.commandsSince(0).empty());
}

}  // namespace
}  // namespace korvel
