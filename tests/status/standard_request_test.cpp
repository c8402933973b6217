#include <gtest/gtest.h>

#include "status/status_request.h"
#include "tests/support/recorders.h"

namespace korvel {
namespace {

using sim::FrameData;
using testing::SimBench;
using Entries = std::vector<ListEntry>;

std::vector<FrameData> standardRequestFrames(std::vector<FrameData> kxExtra) {
    std::vector<FrameData> frames{{1, 2}, {1, 10}};
    for (int n = 0; n < 16; ++n) {
        frames.push_back({1, 11, static_cast<std::uint8_t>(32 + n)});
        for (const FrameData& f : kxExtra)
            if (f[2] == n) frames.push_back(f);
    }
    for (int n = 0; n < 8; ++n) frames.push_back({1, 11, static_cast<std::uint8_t>(64 + n)});
    for (int n = 0; n < 16; ++n) frames.push_back({1, 11, static_cast<std::uint8_t>(96 + n)});
    frames.push_back({});
    return frames;
}

const StandardStatusTexts& standard(const StatusReport& report) {
    return std::get<StandardStatusTexts>(report.dialog);
}

TEST(StandardRequest, DemoSystemFrameByFrame) {
    SimBench b;
    b.openPort();
    ModuleRegistry registry;
    const std::optional<StatusReport> report = RequestStatus(b.link, registry, false);
    ASSERT_TRUE(report);
    ASSERT_FALSE(report->classic());
    // The KX44 at 2 is asked a second time at its own number.
    EXPECT_EQ(b.frames(), standardRequestFrames({{1, 11, 2}}));
    EXPECT_TRUE(b.prompter.shown.empty());

    const StandardStatusTexts& t = standard(*report);
    EXPECT_EQ(t.system, (SystemBoxes{"OK", "3.10 A", "VG-U 1.02", "Unknown"}));
    EXPECT_EQ(report->vgTypeCaption, "VG-U");
    EXPECT_EQ(report->vgFlags, (VgPanelFlags{true, true, true}));

    EXPECT_EQ(t.kxType[0], "KX-H");
    EXPECT_EQ(t.kxStatus[0], "Active");
    EXPECT_EQ(t.kxVersion[0], "2.01 C");
    EXPECT_EQ(t.kxType[2], "KX44");
    EXPECT_EQ(t.kxVersion[2], "1.01 G");
    EXPECT_EQ(t.kxStatus[18], "Active");
    EXPECT_EQ(t.kxVersion[18], "1.01 G");
    EXPECT_EQ(t.kxType[3], "WOBE-s");
    EXPECT_EQ(t.kxVersion[3], "1.10 B");
    EXPECT_EQ(t.kxStatus[5], "Idle");
    EXPECT_EQ(t.kxStatus[1], "Not Found");
    EXPECT_EQ(t.kxType[1], "-");
    EXPECT_EQ(t.kxVersion[1], "-");
    EXPECT_EQ(t.kxStatus[16], "-");  // only KX44 modules have a second half asked
    EXPECT_EQ(t.zrStatus[1], "Active");
    EXPECT_EQ(t.zrVersion[6], "1.03 A");
    EXPECT_EQ(t.zrStatus[0], "Not Found");
    EXPECT_EQ(t.zrVersion[0], "-");
    EXPECT_EQ(t.qhStatus[4], "Active");
    EXPECT_EQ(t.qhVersion[4], "1.00 E");
    EXPECT_EQ(t.qhStatus[5], "Not Found");
    EXPECT_EQ(t.qhVersion[5], "-");

    EXPECT_EQ(registry.kxList.entries, (Entries{{"All_KXxx", -1},
                                                {"All_KX44", -4},
                                                {"All_KX-H", -2},
                                                {"All_WOBE", -3},
                                                {" 0", 0},
                                                {" 2.0", 2},
                                                {" 2.1", 18},
                                                {" 3", 3},
                                                {" 5", 5}}));
    EXPECT_EQ(registry.kxList.selected, 4);
    EXPECT_EQ(registry.zrList.entries, (Entries{{"All", -1}, {" 1", 1}, {" 6", 6}}));
    EXPECT_EQ(registry.zrList.selected, 0);
    EXPECT_EQ(registry.kxTypes[18], kKx44);
    EXPECT_EQ(registry.zrPresent[6], 1);
}

TEST(StandardRequest, LogShowsTheQueriesByteExact) {
    SimBench b;
    b.openPort();
    ModuleRegistry registry;
    RequestStatus(b.link, registry, false);
    // (2; 1, 2) with Stop set, toggle 0: 0x2A 0x81 0x82 0xD3; the log drops bit 7.
    EXPECT_EQ(b.log.text.substr(0, 14), ">> 2A 01 02 53");
    // The third request, (3; 1, 11, 32), toggle 0 again: 0x2B 0x81 0x8B 0xA0 0xA9.
    EXPECT_NE(b.log.text.find("\r\n>> 2B 01 0B 20 29"), std::string::npos);
}

sim::SimModule kxModule(int n, std::uint8_t status, int version = 1000) {
    sim::SimModule m;
    m.number = n;
    m.status = status;
    m.version = version;
    return m;
}

TEST(StandardRequest, SecondHalvesAndSilentModules) {
    sim::SimSystem s;
    sim::SimModule kx44 = kxModule(5, sim::kAnswered | sim::kTypeBitsKX44);
    kx44.secondHalfStatus = sim::kAnswered | sim::kTypeBitsKX44 | sim::kFaultOrHold;
    kx44.secondHalfVersion = 0;
    s.modules.push_back(kx44);
    sim::SimModule wrongHalf = kxModule(6, sim::kAnswered | sim::kTypeBitsKX44);
    wrongHalf.secondHalfStatus = sim::kAnswered | sim::kTypeBitsKXH;
    s.modules.push_back(wrongHalf);
    s.modules.push_back(kxModule(7, sim::kAnswered | sim::kTypeBitsKX44));  // second half silent
    s.modules.push_back(kxModule(8, 0x37));                                 // bit 3 clear
    s.modules.push_back(kxModule(9, sim::kAnswered | 5, 0));                // type code 5
    SimBench b(s);
    b.openPort();
    ModuleRegistry registry;
    const StandardStatusTexts t = standard(*RequestStatus(b.link, registry, false));

    EXPECT_EQ(b.frames(), standardRequestFrames({{1, 11, 5}, {1, 11, 6}, {1, 11, 7}}));
    EXPECT_EQ(t.kxStatus[21], "Fault");
    EXPECT_EQ(t.kxVersion[21], "Unknown");
    EXPECT_EQ(t.kxStatus[22], "Error");
    EXPECT_EQ(t.kxVersion[22], "-");
    EXPECT_EQ(t.kxStatus[23], "Not Found");
    EXPECT_EQ(t.kxStatus[8], "Not Found");
    EXPECT_EQ(t.kxType[8], "-");
    EXPECT_EQ(t.kxType[9], "Unknown");
    EXPECT_EQ(t.kxVersion[9], "Unknown");
    EXPECT_EQ(registry.kxTypes[21], kKx44);
    EXPECT_EQ(registry.kxTypes[22], kKxNone);
    EXPECT_EQ(registry.kxTypes[8], kKxNone);
    EXPECT_EQ(registry.kxTypes[9], kKxUnknown);
    EXPECT_EQ(registry.kxList.entries, (Entries{{"All_KXxx", -1},
                                                {"All_KX44", -4},
                                                {" 5.0", 5},
                                                {" 5.1", 21},
                                                {" 6.0", 6},
                                                {" 7.0", 7},
                                                {" 9", 9}}));
    EXPECT_TRUE(registry.zrList.empty());
}

TEST(StandardRequest, ANewRequestResetsWhatTheLastOneRegistered) {
    SimBench b;
    b.openPort();
    ModuleRegistry registry;
    RequestStatus(b.link, registry, false);
    b.controller.system().modules.clear();
    const StandardStatusTexts t = standard(*RequestStatus(b.link, registry, false));
    EXPECT_TRUE(registry.kxList.empty());
    EXPECT_TRUE(registry.zrList.empty());
    EXPECT_EQ(registry.kxTypes[18], kKxNone);
    EXPECT_EQ(t.kxStatus[18], "-");
}

TEST(StandardRequest, SystemStatusAndTypeTexts) {
    struct Case {
        int status, type, version;
        const char* system;
        const char* sysVer;
        const char* caption;
        VgPanelFlags flags;
    };
    const Case cases[] = {
        {1, 1, 1020, "Hold", "VG-H1.02", "VG-H", {false, false, false}},
        {2, 3, 1010, "Fault", "VG-C 1.01", "VG-C", {true, true, false}},
        {3, 10, 1021, "Fault+Hold", "WOBE 1.02 A", "WOBE", {true, false, true}},
        {0, 7, 1020, "OK", "Unknown1.02", "Unknown", {true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        sim::SimSystem s;
        s.statusCode = c.status;
        s.systemType = c.type;
        s.systemVersion = c.version;
        SimBench b(s);
        b.openPort();
        ModuleRegistry registry;
        const StatusReport report = *RequestStatus(b.link, registry, false);
        EXPECT_EQ(standard(report).system.system, c.system);
        EXPECT_EQ(standard(report).system.sysVer, c.sysVer);
        EXPECT_EQ(report.vgTypeCaption, c.caption);
        EXPECT_EQ(report.vgFlags, c.flags);
    }
}

TEST(StandardRequest, UnansweredQueriesAreSkipped) {
    SimBench b;
    b.openPort();
    b.controller.faults().unanswered = [](const FrameData& f) {
        return f == FrameData{1, 10} || f == FrameData{1, 11, 34} || f == FrameData{1, 11, 65};
    };
    ModuleRegistry registry;
    const StatusReport report = *RequestStatus(b.link, registry, false);
    const StandardStatusTexts& t = standard(report);

    EXPECT_EQ(b.prompter.texts(), std::vector<std::string>(3, "Geen antwoord van Korvel"));
    EXPECT_EQ(b.frames(), standardRequestFrames({}));  // the KX44 went unheard: no second half
    EXPECT_EQ(t.system, (SystemBoxes{"OK", "3.10 A", "Unknown", "Unknown"}));
    EXPECT_EQ(report.vgTypeCaption, "Unknown");
    EXPECT_EQ(report.vgFlags, (VgPanelFlags{true, true, true}));
    EXPECT_EQ(t.kxStatus[2], "-");
    EXPECT_EQ(t.kxType[2], "-");
    EXPECT_EQ(t.zrStatus[1], "-");
    EXPECT_EQ(registry.kxTypes[2], kKxNone);
    EXPECT_EQ(registry.zrPresent[1], -1);
    EXPECT_EQ(registry.zrList.entries, (Entries{{"All", -1}, {" 6", 6}}));
}

}  // namespace
}  // namespace korvel
