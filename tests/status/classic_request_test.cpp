#include <gtest/gtest.h>

#include "status/status_request.h"
#include "tests/support/recorders.h"

namespace korvel {
namespace {

using sim::FrameData;
using testing::SimBench;
using Entries = std::vector<ListEntry>;

const std::vector<FrameData> kClassicFrames{{1, 2},    {1, 10},   {1, 3, 1}, {1, 3, 127}, {1, 3, 0},
                                            {1, 3, 2}, {1, 3, 4}, {1, 3, 3}, {1, 3, 6},   {}};

const ClassicStatusTexts& classic(const StatusReport& report) {
    return std::get<ClassicStatusTexts>(report.dialog);
}

TEST(ClassicRequest, DemoSystemFrameByFrame) {
    SimBench b(sim::classicDemoSystem());
    b.openPort();
    ModuleRegistry registry;
    const std::optional<StatusReport> report = RequestStatus(b.link, registry, false);
    ASSERT_TRUE(report);
    ASSERT_TRUE(report->classic());
    EXPECT_EQ(b.frames(), kClassicFrames);

    const ClassicStatusTexts& t = classic(*report);
    EXPECT_EQ(t.system, (SystemBoxes{"OK", "3.10", "VG-U 1.02", "Unknown"}));
    EXPECT_EQ(t.cap, "87");
    EXPECT_EQ(t.dip, (std::array<std::string, 4>{"Off", "On", "Off", "On"}));
    EXPECT_EQ(t.kxStatus[0], "OK");
    EXPECT_EQ(t.kxType[0], "KX-H");
    EXPECT_EQ(t.kxType[3], "KXCC");
    EXPECT_EQ(t.kxStatus[1], "Not found");
    EXPECT_EQ(t.kxType[1], "N.A.");
    EXPECT_EQ(t.zrStatus[1], "OK");
    EXPECT_EQ(t.zrStatus[0], "Not found");
    EXPECT_EQ(report->vgTypeCaption, "VG-U");

    EXPECT_EQ(
        registry.kxList.entries,
        (Entries{{"All_KX-H", -2}, {"All_WOBE", -3}, {" 0", 0}, {" 2", 2}, {" 3", 3}, {" 5", 5}}));
    EXPECT_EQ(registry.kxList.selected, 2);
    EXPECT_EQ(registry.kxTypes[3], kKxWobe);
    EXPECT_EQ(registry.zrList.entries, (Entries{{"All", -1}, {" 1", 1}, {" 6", 6}}));
}

TEST(ClassicRequest, ShiftClickOnANewControllerAndSecondHalvesSurvive) {
    SimBench b;  // protocol 3101
    b.openPort();
    ModuleRegistry registry;
    RequestStatus(b.link, registry, false);
    ASSERT_EQ(registry.kxTypes[18], kKx44);
    registry.kxTypes[32] = 5;  // never written by either view

    const std::size_t mark = b.frames().size();
    const StatusReport report = *RequestStatus(b.link, registry, true);
    EXPECT_TRUE(report.classic());
    EXPECT_EQ(b.commandsSince(mark).size(), 9u);
    EXPECT_EQ(classic(report).system.protVer, "3.10 A");
    EXPECT_EQ(registry.kxTypes[18], kKx44);
    EXPECT_EQ(registry.kxTypes[32], 5);
    EXPECT_EQ(registry.kxTypes[2], kKxH);  // the classic controller reports it as a KX-H
    for (const ListEntry& e : registry.kxList.entries) EXPECT_LT(e.itemData, 16) << e.text;
}

TEST(ClassicRequest, BitmapsWithEveryModuleAndFaults) {
    sim::SimSystem s = sim::classicDemoSystem();
    s.modules.clear();
    for (int n = 0; n < 16; ++n) {
        sim::SimModule m;
        m.number = n;
        m.status = static_cast<std::uint8_t>(sim::kAnswered | (n == 9 ? sim::kFaultOrHold : 0));
        s.modules.push_back(m);
    }
    SimBench b(s);
    b.openPort();
    ModuleRegistry registry;
    const ClassicStatusTexts t = classic(*RequestStatus(b.link, registry, false));
    for (int n = 0; n < 16; ++n) {
        EXPECT_EQ(t.kxType[static_cast<std::size_t>(n)], "KX-H") << n;
        EXPECT_EQ(t.kxStatus[static_cast<std::size_t>(n)], n == 9 ? "Fault" : "OK") << n;
    }
    EXPECT_EQ(registry.kxList.entries.size(), 17u);
    EXPECT_EQ(registry.kxList.entries[0], (ListEntry{"All_KX-H", -2}));
    EXPECT_EQ(registry.kxList.entries[16], (ListEntry{" 15", 15}));
    EXPECT_EQ(registry.kxList.selected, 1);
    EXPECT_TRUE(registry.zrList.empty());
}

TEST(ClassicRequest, FailedSummariesKeepTheResetTexts) {
    SimBench b(sim::classicDemoSystem());
    b.openPort();
    // Never two in a row: a second unanswered exchange would end the request.
    b.controller.faults().unanswered = [](const FrameData& f) {
        return f == FrameData{1, 3, 1} || f == FrameData{1, 3, 2} || f == FrameData{1, 3, 6};
    };
    ModuleRegistry registry;
    registry.zrPresent[3] = 1;
    const ClassicStatusTexts t = classic(*RequestStatus(b.link, registry, false));
    EXPECT_EQ(b.frames(), kClassicFrames);  // every step goes on after a failure
    EXPECT_EQ(t.cap, "Unknown");
    // Without presence nothing is active: the type reply marks every module N.A.
    EXPECT_EQ(t.kxStatus[0], "Unknown");
    EXPECT_EQ(t.kxType[0], "N.A.");
    EXPECT_EQ(t.zrStatus[1], "Unknown");
    EXPECT_EQ(registry.zrPresent[3], -1);
    EXPECT_TRUE(registry.kxList.empty());
    EXPECT_TRUE(registry.zrList.empty());
}

}  // namespace
}  // namespace korvel
