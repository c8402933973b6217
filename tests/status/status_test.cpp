#include <gtest/gtest.h>

#include "status/module_lists.h"
#include "status/status_request.h"
#include "status/status_texts.h"
#include "status/system_query.h"
#include "status/version.h"
#include "status/view_choice.h"
#include "tests/support/recorders.h"

namespace korvel {
namespace {

using sim::FrameData;
using testing::SimBench;
using Entries = std::vector<ListEntry>;
using Frames = std::vector<FrameData>;

// The frames of a standard request: the controller twice, every KX, ZR and QH
// number once, a KX44's second half right after its first.
Frames standardFrames(std::vector<int> kx44) {
    Frames frames{{1, 2}, {1, 10}};
    for (int n = 0; n < 16; ++n) {
        frames.push_back({1, 11, std::uint8_t(32 + n)});
        if (std::find(kx44.begin(), kx44.end(), n) != kx44.end())
            frames.push_back({1, 11, std::uint8_t(n)});
    }
    for (int n = 0; n < 8; ++n) frames.push_back({1, 11, std::uint8_t(64 + n)});
    for (int n = 0; n < 16; ++n) frames.push_back({1, 11, std::uint8_t(96 + n)});
    frames.push_back({});
    return frames;
}

const StandardStatusTexts& standard(const StatusReport& r) {
    return std::get<StandardStatusTexts>(r.dialog);
}
const ClassicStatusTexts& classic(const StatusReport& r) {
    return std::get<ClassicStatusTexts>(r.dialog);
}

TEST(StandardRequest, DemoSystemFrameByFrame) {
    SimBench b;
    b.openPort();
    ModuleRegistry registry;
    const StatusReport report = *RequestStatus(b.link, registry, false);
    ASSERT_FALSE(report.classic());
    EXPECT_EQ(b.frames(), standardFrames({2}));
    EXPECT_TRUE(b.log.text.starts_with(">> 2A 01 02 53"));
    EXPECT_NE(b.log.text.find("\r\n>> 2B 01 0B 20 29"), std::string::npos);
    EXPECT_TRUE(b.prompter.shown.empty());
    const StandardStatusTexts& t = standard(report);
    EXPECT_EQ(t.system, (SystemBoxes{"OK", "3.10 A", "VG-U 1.02", "Unknown"}));
    EXPECT_EQ(report.vgTypeCaption, "VG-U");
    EXPECT_EQ(report.vgFlags, (VgPanelFlags{true, true, true}));
    const std::tuple<int, const char*, const char*, const char*> kx[] = {
        {0, "KX-H", "Active", "2.01 C"}, {1, "-", "Not Found", "-"},
        {2, "KX44", "Active", "1.01 G"}, {3, "WOBE-s", "Active", "1.10 B"},
        {5, "KX-H", "Idle", "2.01 C"},   {16, "-", "-", "-"},
        {18, "KX44", "Active", "1.01 G"}};
    for (const auto& [n, type, status, version] : kx) {
        EXPECT_EQ(n < 16 ? t.kxType[std::size_t(n)] : type, type) << n;  // halves have no type box
        EXPECT_EQ(t.kxStatus[std::size_t(n)], status) << n;
        EXPECT_EQ(t.kxVersion[std::size_t(n)], version) << n;
    }
    EXPECT_EQ(t.zrStatus[1], "Active");
    EXPECT_EQ(t.zrStatus[0], "Not Found");
    EXPECT_EQ(t.qhVersion[5], "-");
    const ModuleRegistry demo = testing::demoRegistry();
    EXPECT_EQ(registry.kxList.entries, demo.kxList.entries);
    EXPECT_EQ(registry.kxList.selected, demo.kxList.selected);
    EXPECT_EQ(registry.zrList.entries, demo.zrList.entries);
    EXPECT_EQ(registry.zrList.selected, 0);
    EXPECT_EQ(registry.kxTypes, demo.kxTypes);
}

sim::SimModule kxModule(int n, std::uint8_t status, int version = 1000) {
    sim::SimModule m;
    m.number = n;
    m.status = status;
    m.version = version;
    return m;
}

TEST(StandardRequest, SecondHalvesAndModulesThatDoNotAnswerAsExpected) {
    sim::SimSystem s;
    sim::SimModule faulty = kxModule(5, sim::kAnswered | sim::kTypeBitsKX44);
    faulty.secondHalfStatus = sim::kAnswered | sim::kTypeBitsKX44 | sim::kFaultOrHold;
    faulty.secondHalfVersion = 0;
    sim::SimModule wrongHalf = kxModule(6, sim::kAnswered | sim::kTypeBitsKX44);
    wrongHalf.secondHalfStatus = sim::kAnswered | sim::kTypeBitsKXH;
    s.modules = {faulty, wrongHalf, kxModule(7, sim::kAnswered | sim::kTypeBitsKX44),
                 kxModule(8, 0x37), kxModule(9, sim::kAnswered | 5, 0)};
    SimBench b(s);
    b.openPort();
    ModuleRegistry registry;
    registry.zrList.add("All", kAllZR);
    const StandardStatusTexts t = standard(*RequestStatus(b.link, registry, false));
    EXPECT_EQ(b.frames(), standardFrames({5, 6, 7}));
    const std::tuple<int, const char*, const char*, std::int16_t> kx[] = {
        {21, "Fault", "Unknown", kKx44},
        {22, "Error", "-", kKxNone},
        {23, "Not Found", "-", kKxNone},
        {8, "Not Found", "-", kKxNone},
        {9, "Active", "Unknown", kKxUnknown}};
    for (const auto& [n, status, version, type] : kx) {
        EXPECT_EQ(t.kxStatus[std::size_t(n)], status) << n;
        EXPECT_EQ(t.kxVersion[std::size_t(n)], version) << n;
        EXPECT_EQ(registry.kxTypes[std::size_t(n)], type) << n;
    }
    EXPECT_EQ(t.kxType[9], "Unknown");
    EXPECT_TRUE(registry.zrList.empty());
}

TEST(SystemBoxes, StatusTypeAndVersionTexts) {
    struct Case {
        int status, type, version;
        const char *system, *sysVer, *caption;
        VgPanelFlags flags;
    };
    const Case cases[] = {
        {1, 1, 1020, "Hold", "VG-H1.02", "VG-H", {false, false, false}},
        {2, 3, 1010, "Fault", "VG-C 1.01", "VG-C", {true, true, false}},
        {3, 10, 1021, "Fault+Hold", "WOBE 1.02 A", "WOBE", {true, false, true}},
        {0, 7, 1020, "OK", "Unknown1.02", "Unknown", {true, true, true}},
    };
    for (const Case& c : cases) {
        const SystemFacts facts{c.status, 3101, c.type, c.version};
        EXPECT_EQ(systemBoxes(facts).system, c.system);
        EXPECT_EQ(systemBoxes(facts).sysVer, c.sysVer);
        EXPECT_EQ(vgTypeCaption(facts), c.caption);
        EXPECT_EQ(vgFlags(facts), c.flags);
    }
}

const Frames kClassicFrames{{1, 2},    {1, 10},   {1, 3, 1}, {1, 3, 127}, {1, 3, 0},
                            {1, 3, 2}, {1, 3, 4}, {1, 3, 3}, {1, 3, 6},   {}};

TEST(ClassicRequest, DemoSystemFrameByFrame) {
    SimBench b(sim::classicDemoSystem());
    b.openPort();
    ModuleRegistry registry;
    const StatusReport report = *RequestStatus(b.link, registry, false);
    ASSERT_TRUE(report.classic());
    EXPECT_EQ(b.frames(), kClassicFrames);
    const ClassicStatusTexts& t = classic(report);
    EXPECT_EQ(t.system, (SystemBoxes{"OK", "3.10", "VG-U 1.02", "Unknown"}));
    EXPECT_EQ(t.cap, "87");
    EXPECT_EQ(t.dip, (std::array<std::string, 4>{"Off", "On", "Off", "On"}));
    EXPECT_EQ((std::array{t.kxStatus[0], t.kxStatus[1], t.kxStatus[3]}),
              (std::array<std::string, 3>{"OK", "Not found", "OK"}));
    EXPECT_EQ((std::array{t.kxType[0], t.kxType[1], t.kxType[3]}),
              (std::array<std::string, 3>{"KX-H", "N.A.", "KXCC"}));
    EXPECT_EQ(t.zrStatus[1], "OK");
    EXPECT_EQ(t.zrStatus[0], "Not found");
    EXPECT_EQ(
        registry.kxList.entries,
        (Entries{{"All_KX-H", -2}, {"All_WOBE", -3}, {" 0", 0}, {" 2", 2}, {" 3", 3}, {" 5", 5}}));
    EXPECT_EQ(registry.kxList.selected, 2);
    EXPECT_EQ(registry.zrList.entries, testing::demoRegistry().zrList.entries);
}

TEST(ClassicRequest, FailedStepsKeepTheResetTextsAndTheRestGoesOn) {
    // Never two in a row: a second unanswered exchange would end the request.
    const std::vector<FrameData> failing[] = {{{1, 3, 1}, {1, 3, 2}, {1, 3, 6}}, {{1, 3, 0}}};
    for (const std::vector<FrameData>& lost : failing) {
        SimBench b(sim::classicDemoSystem());
        b.openPort();
        b.controller.faults().unanswered = [&](const FrameData& f) {
            return std::find(lost.begin(), lost.end(), f) != lost.end();
        };
        ModuleRegistry registry;
        const ClassicStatusTexts t = classic(*RequestStatus(b.link, registry, false));
        EXPECT_EQ(b.frames(), kClassicFrames);
        if (lost.size() == 1) {
            EXPECT_EQ(t.dip, (std::array<std::string, 4>{}));
            continue;
        }
        EXPECT_EQ(t.cap, "Unknown");
        EXPECT_EQ(t.kxType[0], "N.A.");
    }
}

TEST(ClassicRequest, ShiftOnANewControllerLeavesSecondHalvesRegistered) {
    SimBench b;
    b.openPort();
    ModuleRegistry registry;
    RequestStatus(b.link, registry, false);
    const std::size_t mark = b.frames().size();
    const StatusReport report = *RequestStatus(b.link, registry, true);
    EXPECT_TRUE(report.classic());
    EXPECT_EQ(b.commandsSince(mark).size(), 9u);
    EXPECT_EQ(classic(report).system.protVer, "3.10 A");
    EXPECT_EQ(registry.kxTypes[18], kKx44);
    EXPECT_EQ(registry.kxTypes[2], kKxH);
}

struct StatusRequest : ::testing::Test {
    StatusRequest() {
        b.openPort();
        b.controller.system().statusCode = 2;
    }
    std::size_t emptyFramesBefore(const FrameData& request) const {
        std::size_t count = 0;
        for (const FrameData& f : b.frames()) {
            if (f == request) return count;
            count += f.empty() ? 1 : 0;
        }
        return count;
    }
    SimBench b;
    ModuleRegistry registry = testing::demoRegistry();
};

TEST_F(StatusRequest, LateVersionIsWaitedForUpToFortyEmptyFrames) {
    b.controller.queueMessage({0, 40, 1, 2, 3, 4});
    b.controller.faults().protocolAnswer = sim::ProtocolAnswer::Queued;
    const SystemFacts facts = *queryController(b.link);
    EXPECT_EQ(facts.protocolVersion, 3101);
    EXPECT_EQ(facts.statusCode, 2);
    EXPECT_EQ(emptyFramesBefore({1, 10}), 2u);
    b.controller.clearRecords();
    b.controller.faults().protocolAnswer = sim::ProtocolAnswer::Never;
    const StatusReport report = *RequestStatus(b.link, registry, false);
    EXPECT_EQ(emptyFramesBefore({1, 10}), 40u);
    EXPECT_EQ(classic(report).system.protVer, "Unknown");
    EXPECT_EQ(classic(report).system.system, "Fault");
}

TEST_F(StatusRequest, NoFirstAnswerEndsTheRequestAndKeepsTheRegistry) {
    b.controller.faults().skipAnswers = 1;
    EXPECT_FALSE(RequestStatus(b.link, registry, false));
    EXPECT_EQ(b.frames(), (Frames{{1, 2}}));
    EXPECT_EQ(registry.kxList.entries, testing::demoRegistry().kxList.entries);
}

// The controller answers `answered` frames, then nothing: one box, no dialog,
// the registry as it was, and nothing sent after the second silence.
TEST(SilentController, EndsTheRequestAfterTheSecondUnansweredExchange) {
    const struct {
        sim::ProtocolAnswer protocol;
        int answered;
    } cases[] = {{sim::ProtocolAnswer::Queued, 1}, {sim::ProtocolAnswer::Direct, 9}};
    for (const auto& c : cases) {
        SimBench b;
        b.openPort();
        b.controller.faults().protocolAnswer = c.protocol;
        b.controller.faults().unanswered = [n = 0, c](const FrameData&) mutable {
            return ++n > c.answered;
        };
        ModuleRegistry registry;
        registry.kxTypes[7] = kKxH;
        const ModuleRegistry before = registry;
        EXPECT_FALSE(RequestStatus(b.link, registry, false));
        EXPECT_EQ(b.prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
        EXPECT_EQ(b.frames().size(), static_cast<std::size_t>(c.answered + 2));
        EXPECT_EQ(registry.kxTypes, before.kxTypes);
    }
}

// The lists and the VG page take the result before the closing frame, whose
// loss then no longer matters.
TEST_F(StatusRequest, ALineLostOnTheClosingFrameKeepsTheCompleteResult) {
    registry = {};
    const std::size_t frames = (RequestStatus(b.link, registry, false), b.frames().size());
    b.controller.clearRecords();
    b.controller.faults().vanishAfterFrames = static_cast<int>(frames) - 1;
    registry = {};
    std::size_t framesAtHook = 0;
    const auto report = RequestStatus(
        b.link, registry, false, [&](const StatusReport&) { framesAtHook = b.frames().size(); });
    EXPECT_TRUE(report);
    EXPECT_EQ(framesAtHook, frames - 1);
    EXPECT_FALSE(registry.kxList.empty());
    EXPECT_FALSE(b.link.portOpen());
}

TEST_F(StatusRequest, TheClassicCapacityIsTakenOnlyFromAnAnswerCarryingExactly16) {
    b.controller.faults().bendAnswer = [](FrameData& d) {
        if (d.size() == 4 && d[1] == 3 && d[2] == 16) d[2] = 17;
    };
    const StatusReport report = *RequestStatus(b.link, registry, true);
    EXPECT_EQ(std::get<ClassicStatusTexts>(report.dialog).cap, "Unknown");
}

TEST(ViewChoice, OnlyALeftClickWithShiftAloneAsksForTheClassicView) {
    EXPECT_TRUE(classicViewRequested(kLeftButton, kShiftMask));
    for (const auto& [button, shift] :
         {std::pair{kLeftButton, 0}, std::pair{kLeftButton, kShiftMask | kCtrlMask},
          std::pair{kLeftButton, kShiftMask | kAltMask}, std::pair{kRightButton, kShiftMask}})
        EXPECT_FALSE(classicViewRequested(button, shift)) << button << " " << shift;
}

struct ListCase {
    std::vector<std::pair<int, std::int16_t>> types;
    bool classicForm;
    Entries entries;
    int selected;
};

TEST(ModuleLists, EntriesGroupsAndSelectionFromTheTypeTable) {
    const ListCase cases[] = {
        {{}, false, {}, -1},
        {{{3, kKxWobe}}, false, {{"All_WOBE", -3}, {" 3", 3}}, 1},
        {{{0, kKx44}, {16, kKx44}},
         false,
         {{"All_KXxx", -1}, {"All_KX44", -4}, {" 0.0", 0}, {" 0.1", 16}},
         2},
        {{{12, kKx44}}, false, {{"All_KXxx", -1}, {"All_KX44", -4}, {" 12.0", 12}}, 2},
        {{{7, kKxUnknown}, {21, kKx44}, {32, kKxH}}, false, {{" 7", 7}}, 0},
        {{{1, kKxH}, {4, kKxWobe}, {6, kKx44}, {22, kKx44}, {9, kKxUnknown}},
         true,
         {{"All_KX-H", -2}, {"All_WOBE", -3}, {" 1", 1}, {" 4", 4}, {" 6", 6}, {" 9", 9}},
         2},
    };
    for (const ListCase& c : cases) {
        ModuleRegistry r;
        r.kxList.add("stale", 4);
        for (const auto& [n, type] : c.types) r.kxTypes[std::size_t(n)] = type;
        c.classicForm ? rebuildKxListClassic(r) : rebuildKxListStandard(r);
        EXPECT_EQ(r.kxList.entries, c.entries) << c.types.size();
        EXPECT_EQ(r.kxList.selected, c.selected) << c.types.size();
    }
}

TEST(StatusTexts, ModuleStatusTypeAndVersion) {
    const std::tuple<std::uint8_t, const char*, const char*, const char*> status[] = {
        {0x00, "Not Found", "Not Found", "Not Found"},
        {0x37, "Not Found", "Not Found", "Not Found"},
        {0x0B, "Active", "Active", "Active"},
        {0x38, "Idle", "Idle", "Idle"},
        {0x28, "Fault", "Hold", "Active"},
        {0x48, "Active", "Active", "Active"}};
    for (const auto& [s, kx, zr, qh] : status) {
        EXPECT_EQ(moduleStatusText(ModuleKind::KX, s), kx) << int(s);
        EXPECT_EQ(moduleStatusText(ModuleKind::ZR, s), zr) << int(s);
        EXPECT_EQ(moduleStatusText(ModuleKind::QH, s), qh) << int(s);
    }
    const std::tuple<std::uint8_t, std::uint8_t, int, const char*> versions[] = {
        {25, 1, 3101, "3.10 A"},  {8, 16, 1020, "1.02"}, {3, 8, 310, "0.31"},
        {16, 11, 2013, "2.01 C"}, {0, 7, 7, "0.00 G"},   {127, 127, 15857, "1.58 G"}};
    for (const auto& [x, y, number, text] : versions) {
        EXPECT_EQ(versionNumber(x, y), number);
        EXPECT_EQ(versionText(number), text);
    }
    EXPECT_EQ(moduleVersionText(0), "Unknown");
    EXPECT_EQ(versionText(-1), "Unknown");
    // What each view shows for a module that was not asked or did not answer.
    for (const char* absent : {"-", "Not Found", "Not found", "Unknown"})
        EXPECT_FALSE(showsAnsweredModule(absent)) << absent;
    for (const char* answered : {"Active", "Idle", "Fault", "Hold", "OK", "Error"})
        EXPECT_TRUE(showsAnsweredModule(answered)) << answered;
}

}  // namespace
}  // namespace korvel
