#include "status/module_lists.h"
#include "status/status_format.h"
#include "status/status_request.h"
#include "status/status_texts.h"
#include "status/system_query.h"
#include "status/version.h"
#include "tests/support/recorders.h"
#include "ui_model/module_lists.h"

namespace korvel {
namespace {

using sim::FrameData;
using testing::OpenBench;
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

// The type a KX module's status byte names, by the simulator's type bits.
std::int16_t expectedKxType(std::uint8_t status) {
    for (const auto& [bits, type] :
         {std::pair{sim::kTypeBitsKXH, kKxH}, std::pair{sim::kTypeBitsKX44, kKx44},
          std::pair{sim::kTypeBitsWobe, kKxWobe}})
        if ((status & 7) == bits) return type;
    return kKxUnknown;
}

// What a standard request should find: for each module query among `frames`,
// the module at that address as the simulated system reports it (an empty
// address reports status 0, version 0).
std::vector<ModuleFact> factsFor(const Frames& frames, const sim::SimSystem& s) {
    std::vector<ModuleFact> facts;
    for (const FrameData& f : frames) {
        if (f.size() != 3) continue;
        const int a = f[2];
        const ModuleFamily family = a < 64   ? ModuleFamily::KX
                                    : a < 96 ? ModuleFamily::ZR
                                             : ModuleFamily::QH;
        ModuleFact fact{family, a % 32, a < 16 ? 1 : 0, kKxNone, 0, 0, true};
        for (const sim::SimModule& m : s.modules)
            if (m.number == fact.number && int(m.family) == int(family)) {
                fact.status = fact.half ? m.secondHalfStatus.value_or(0) : m.status;
                fact.version = !fact.half           ? m.version
                               : m.secondHalfStatus ? m.secondHalfVersion
                                                    : 0;
            }
        if (family == ModuleFamily::KX && fact.present())
            fact.typeCode = expectedKxType(fact.status);
        facts.push_back(fact);
    }
    return facts;
}

StatusFacts request(testing::SimBench& b, bool classic = false) {
    const std::optional<StatusFacts> facts = RequestStatus(b.link, {classic});
    return facts.value_or(StatusFacts{});
}

WindowRegistry registered(const StatusFacts& facts, WindowRegistry registry = {}) {
    registerModules(registry, facts);
    return registry;
}

TEST(StandardRequest, DemoSystemFrameByFrame) {
    OpenBench b;
    const StatusFacts facts = request(b);
    ASSERT_FALSE(facts.classic);
    EXPECT_EQ(b.frames(), standardFrames({2}));
    EXPECT_TRUE(b.prompter.shown.empty());
    EXPECT_EQ(facts.system, (SystemFacts{0, 3101, 2, 1020}));
    EXPECT_EQ(facts.modules, factsFor(b.frames(), b.controller.system()));
    const WindowRegistry registry = registered(facts);
    const WindowRegistry demo = testing::demoRegistry();
    EXPECT_EQ(std::tie(registry.kxList.entries, registry.kxList.selected, registry.zrList.entries,
                       registry.zrList.selected, registry.kxTypes, registry.zrPresent),
              std::tie(demo.kxList.entries, demo.kxList.selected, demo.zrList.entries,
                       demo.zrList.selected, demo.kxTypes, demo.zrPresent));
}

using testing::kxModule;

TEST(StandardRequest, SecondHalvesAndModulesThatDoNotAnswerAsExpected) {
    sim::SimSystem s;
    sim::SimModule faulty = kxModule(5, sim::kAnswered | sim::kTypeBitsKX44);
    faulty.secondHalfStatus = sim::kAnswered | sim::kTypeBitsKX44 | sim::kFaultOrHold;
    faulty.secondHalfVersion = 0;
    sim::SimModule wrongHalf = kxModule(6, sim::kAnswered | sim::kTypeBitsKX44);
    wrongHalf.secondHalfStatus = sim::kAnswered | sim::kTypeBitsKXH;
    s.modules = {faulty, wrongHalf, kxModule(7, sim::kAnswered | sim::kTypeBitsKX44),
                 kxModule(8, 0x37), kxModule(9, sim::kAnswered | 5, 0)};
    OpenBench b(s);
    WindowRegistry before;
    before.zrList.add("All", kAllZR);
    before.kxTypes[32] = kKxH;
    const StatusFacts facts = request(b);
    EXPECT_EQ(b.frames(), standardFrames({5, 6, 7}));
    EXPECT_EQ(facts.modules, factsFor(b.frames(), s));
    const WindowRegistry registry = registered(facts, before);
    const std::pair<int, std::int16_t> types[] = {{5, kKx44},    {21, kKx44},  {22, kKxNone},
                                                  {23, kKxNone}, {8, kKxNone}, {9, kKxUnknown},
                                                  {32, kKxH}};
    for (const auto& [n, type] : types) EXPECT_EQ(registry.kxTypes[std::size_t(n)], type) << n;
    EXPECT_TRUE(registry.zrList.empty());
}

TEST(SystemTexts, StatusTypeAndVersionTexts) {
    // status, type, version; the texts and the panel flags
    const std::tuple<int, int, int, const char*, const char*, const char*, VgPanelFlags> cases[] = {
        {1, 1, 1020, "Hold", "VG-H1.02", "VG-H", {false, false, false}},
        {2, 3, 1010, "Fault", "VG-C 1.01", "VG-C", {true, true, false}},
        {3, 10, 1021, "Fault+Hold", "WOBE 1.02 A", "WOBE", {true, false, true}},
        {0, 7, 1020, "OK", "Unknown1.02", "Unknown", {true, true, true}},
    };
    for (const auto& [status, type, version, system, sysVer, caption, flags] : cases) {
        const SystemFacts facts{status, 3101, type, version};
        EXPECT_EQ(std::tuple(systemTexts(facts).system, systemTexts(facts).sysVer,
                             vgTypeCaption(facts), vgFlags(facts)),
                  std::tuple(system, sysVer, caption, flags));
    }
}

const Frames kClassicFrames{{1, 2},    {1, 10},   {1, 3, 1}, {1, 3, 127}, {1, 3, 0},
                            {1, 3, 2}, {1, 3, 4}, {1, 3, 3}, {1, 3, 6},   {}};

// The classic demo system: KX-H 0 and 5, KX44 2, WOBE-s 3 (a KXCC here), ZR 1
// and 6.
const ClassicFacts kClassicDemo{87, 0x05, 0x2D, 0x08, 0x00, 0x42};

TEST(ClassicRequest, DemoSystemFrameByFrame) {
    OpenBench b(sim::classicDemoSystem());
    const StatusFacts facts = request(b);
    ASSERT_TRUE(facts.classic);
    EXPECT_EQ(b.frames(), kClassicFrames);
    EXPECT_EQ(std::tuple(facts.system, facts.summary, facts.modules.size()),
              std::tuple(SystemFacts{0, 3100, 2, 1020}, kClassicDemo, 0u));
    const WindowRegistry registry = registered(facts);
    EXPECT_EQ(
        registry.kxList.entries,
        (Entries{{"All_KX-H", -2}, {"All_WOBE", -3}, {" 0", 0}, {" 2", 2}, {" 3", 3}, {" 5", 5}}));
    EXPECT_EQ(registry.kxList.selected, 2);
    EXPECT_EQ(registry.zrList.entries, testing::demoRegistry().zrList.entries);
}

TEST(ClassicRequest, FailedStepsLeaveTheirFactsEmptyAndTheRestGoesOn) {
    // Never two in a row: a second unanswered exchange would end the request.
    const std::vector<FrameData> failing[] = {{{1, 3, 1}, {1, 3, 2}, {1, 3, 6}}, {{1, 3, 0}}};
    for (const std::vector<FrameData>& lost : failing) {
        OpenBench b(sim::classicDemoSystem());
        b.controller.faults().unanswered = [&](const FrameData& f) {
            return std::find(lost.begin(), lost.end(), f) != lost.end();
        };
        const StatusFacts facts = request(b);
        EXPECT_EQ(b.frames(), kClassicFrames);
        ClassicFacts expected = kClassicDemo;
        if (lost.size() == 1) {
            expected.dipBits.reset();
        } else {
            expected.capacity.reset();
            expected.kxPresent.reset();
            expected.zrPresent.reset();
        }
        EXPECT_EQ(facts.summary, expected);
        EXPECT_EQ(registered(facts).kxList.empty(), lost.size() > 1);
    }
}

TEST(ClassicRequest, ShiftOnANewControllerLeavesSecondHalvesRegistered) {
    OpenBench b;
    WindowRegistry registry = registered(request(b));
    const std::size_t mark = b.frames().size();
    const StatusFacts facts = request(b, true);
    EXPECT_EQ(std::tuple(facts.classic, b.commandsSince(mark).size(), facts.system.protocolVersion),
              std::tuple(true, 9u, 3101));
    registry = registered(facts, registry);
    EXPECT_EQ(std::tuple(registry.kxTypes[18], registry.kxTypes[2]), std::tuple(kKx44, kKxH));
}

struct StatusRequest : ::testing::Test {
    StatusRequest() { b.controller.system().statusCode = 2; }
    std::size_t emptyFramesBefore(const FrameData& request) const {
        std::size_t count = 0;
        for (const FrameData& f : b.frames()) {
            if (f == request) return count;
            count += f.empty() ? 1 : 0;
        }
        return count;
    }
    OpenBench b;
};

// The version may come with any of the 40 empty frames; one of them going
// unanswered does not end the wait.
TEST_F(StatusRequest, LateVersionIsWaitedForUpToFortyEmptyFrames) {
    for (const bool loseOne : {false, true}) {
        b.controller.clearRecords();
        b.prompter.shown.clear();
        b.controller.queueMessage({0, 40, 1, 2, 3, 4});
        b.controller.faults().protocolAnswer = sim::ProtocolAnswer::Queued;
        b.controller.faults().unanswered = [n = 0, loseOne](const FrameData& f) mutable {
            return loseOne && f.empty() && ++n == 1;
        };
        const StatusFacts facts = request(b);
        EXPECT_EQ(std::tuple(facts.system.protocolVersion, facts.system.statusCode,
                             emptyFramesBefore({1, 10}), b.prompter.shown.size()),
                  std::tuple(3101, 2, 2u, loseOne ? 1u : 0u))
            << loseOne;
    }
    b.controller.clearRecords();
    b.controller.faults().protocolAnswer = sim::ProtocolAnswer::Never;
    const StatusFacts facts = request(b);
    EXPECT_EQ(std::tuple(emptyFramesBefore({1, 10}), facts.classic, facts.system.protocolVersion),
              std::tuple(40u, true, -1));
}

TEST_F(StatusRequest, NoFirstAnswerEndsTheRequestWithoutAResult) {
    b.controller.faults().skipAnswers = 1;
    bool taken = false;
    EXPECT_FALSE(RequestStatus(b.link, {}, [&](const StatusFacts&) { taken = true; }));
    EXPECT_EQ(b.frames(), (Frames{{1, 2}}));
    EXPECT_FALSE(taken);
}

// A step that goes unanswered is asked again up to `retries` more times; only
// steps that failed after all their tries count towards the silence rule.
TEST(StatusSteps, LostStepsAreAskedAgainAndASilentControllerEndsTheRequest) {
    const FrameData kx3{1, 11, 35};
    constexpr int kNever = 1 << 30;
    const auto late = sim::ProtocolAnswer::Queued;
    // Retries, how often kx:3's query goes unanswered, after how many frames the
    // controller falls silent, how the version comes; frames sent without a
    // result, whether there is one and kx:3 answered in it, the boxes shown.
    const std::tuple<int, int, int, sim::ProtocolAnswer, std::size_t, bool, bool, std::size_t>
        cases[] = {
            {0, 1, kNever, {}, 0, true, false, 1},  // not asked again
            {1, 1, kNever, {}, 0, true, true, 1},   // answered the second time
            {2, 3, kNever, {}, 0, true, false, 3},  // every try lost: that module
                                                    // alone
            {0, 0, 1, late, 3, false, false, 1},    // silent while the version is awaited
            {0, 0, 9, {}, 11, false, false, 1},     // silent: the second lost step
                                                    // ends it
            {2, 0, 9, {}, 15, false, false, 6},     // ... after all its tries
        };
    for (const auto& [retries, lostKx3, answered, protocol, sent, result, kx3Answered, boxes] :
         cases) {
        OpenBench b;
        b.controller.faults().protocolAnswer = protocol;
        b.controller.faults().unanswered = [n = 0, lost = 0, answered, lostKx3,
                                            kx3](const FrameData& f) mutable {
            return ++n > answered || (f == kx3 && lost++ < lostKx3);
        };
        const std::optional<StatusFacts> facts = RequestStatus(b.link, {false, retries});
        ASSERT_EQ(facts.has_value(), result) << retries << lostKx3 << answered;
        EXPECT_EQ(b.prompter.shown.size(), boxes) << retries << lostKx3 << answered;
        if (!facts) {
            EXPECT_EQ(b.frames().size(), sent);
            continue;
        }
        Frames frames = standardFrames({2});
        frames.insert(frames.begin() + 6, std::size_t(std::min(lostKx3, retries)), kx3);
        EXPECT_EQ(b.frames(), frames);
        EXPECT_EQ(facts->modules[4].answered, kx3Answered);
    }
}

// The lists and the VG page take the result before the closing frame, whose
// loss then no longer matters.
TEST_F(StatusRequest, ALineLostOnTheClosingFrameKeepsTheCompleteResult) {
    const std::size_t frames = (request(b), b.frames().size());
    b.controller.clearRecords();
    b.controller.faults().vanishAfterFrames = static_cast<int>(frames) - 1;
    WindowRegistry registry;
    std::size_t framesAtHook = 0;
    const auto facts = RequestStatus(b.link, {}, [&](const StatusFacts& f) {
        framesAtHook = b.frames().size();
        registerModules(registry, f);
    });
    EXPECT_EQ(
        std::tuple(facts.has_value(), framesAtHook, registry.kxList.empty(), b.link.portOpen()),
        std::tuple(true, frames - 1, false, false));
}

TEST_F(StatusRequest, TheClassicCapacityIsTakenOnlyFromAnAnswerCarryingExactly16) {
    b.controller.faults().bendAnswer = [](FrameData& d) {
        if (d.size() == 4 && d[1] == 3 && d[2] == 16) d[2] = 17;
    };
    EXPECT_EQ(request(b, true).summary.capacity, std::nullopt);
}

TEST(ModuleLists, EntriesGroupsAndSelectionFromTheTypeTable) {
    // the types, the classic form; the entries and the one selected
    const std::tuple<std::vector<std::pair<int, std::int16_t>>, bool, Entries, int> cases[] = {
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
    for (const auto& [types, classicForm, entries, selected] : cases) {
        WindowRegistry r;
        r.kxList.add("stale", 4);
        for (const auto& [n, type] : types) r.kxTypes[std::size_t(n)] = type;
        classicForm ? rebuildKxListClassic(r) : rebuildKxListStandard(r);
        EXPECT_EQ(std::tuple(r.kxList.entries, r.kxList.selected), std::tuple(entries, selected))
            << types.size();
    }
}

TEST(StatusTexts, VersionNumbersAndTexts) {
    const std::tuple<std::uint8_t, std::uint8_t, int, const char*> versions[] = {
        {25, 1, 3101, "3.10 A"},  {8, 16, 1020, "1.02"}, {3, 8, 310, "0.31"},
        {16, 11, 2013, "2.01 C"}, {0, 7, 7, "0.00 G"},   {127, 127, 15857, "1.58 G"}};
    for (const auto& [x, y, number, text] : versions)
        EXPECT_EQ(std::tuple(versionNumber(x, y), versionText(number)), std::tuple(number, text));
    EXPECT_EQ(moduleVersionText(0) + versionText(-1), "UnknownUnknown");
}

// Every box is formatted from the facts alone: one row per module fact, each
// checked at its own box; boxes no fact names keep "-".
TEST(StatusFormat, StandardBoxesFromModuleFacts) {
    using K = ModuleFamily;
    // the fact; its status, version and (KX first halves only) type box
    const std::tuple<ModuleFact, const char*, const char*, const char*> rows[] = {
        {{K::KX, 1, 0, kKxNone, 0, 0, false}, "-", "-", "-"},
        {{K::KX, 4, 0, kKxNone, 0x37, 1000, true}, "Not Found", "-", "-"},
        {{K::KX, 0, 0, kKxH, 0x18, 2013, true}, "Idle", "2.01 C", "KX-H"},
        {{K::KX, 9, 0, kKxUnknown, 0x0D, 0, true}, "Active", "Unknown", "Unknown"},
        {{K::KX, 2, 0, kKx44, 0x29, 1017, true}, "Fault", "1.01 G", "KX44"},
        {{K::KX, 2, 1, kKx44, 0x09, 0, true}, "Active", "Unknown", nullptr},
        {{K::KX, 6, 1, kKxH, 0x08, 1000, true}, "Error", "-", nullptr},
        {{K::KX, 7, 1, kKxNone, 0x00, 0, true}, "Not Found", "-", nullptr},
        {{K::ZR, 1, 0, kKxNone, 0x28, 1031, true}, "Hold", "1.03 A", nullptr},
        {{K::ZR, 2, 0, kKxNone, 0, 0, false}, "-", "-", nullptr},
        {{K::ZR, 3, 0, kKxNone, 0x38, 0, true}, "Idle", "Unknown", nullptr},
        {{K::QH, 4, 0, kKxNone, 0x68, 1005, true}, "Active", "1.00 E", nullptr},
        {{K::QH, 5, 0, kKxNone, 0x00, 0, true}, "Not Found", "-", nullptr},
    };
    StatusFacts facts;
    for (const auto& r : rows) facts.modules.push_back(std::get<0>(r));
    const StandardStatusTexts t = standardStatusTexts(facts);
    StandardStatusTexts expected;
    for (const auto& [f, status, version, type] : rows) {
        const auto i = std::size_t(f.family == K::KX ? f.kxIndex() : f.number);
        auto boxes = f.family == K::KX   ? std::tie(expected.kxStatus[i], expected.kxVersion[i])
                     : f.family == K::ZR ? std::tie(expected.zrStatus[i], expected.zrVersion[i])
                                         : std::tie(expected.qhStatus[i], expected.qhVersion[i]);
        boxes = std::tuple(status, version);
        if (type) expected.kxType[i] = type;
    }
    const auto boxes = [](const StandardStatusTexts& s) {
        return std::tie(s.kxType, s.kxStatus, s.kxVersion, s.zrStatus, s.zrVersion, s.qhStatus,
                        s.qhVersion);
    };
    EXPECT_EQ(boxes(t), boxes(expected));
    EXPECT_EQ(t.kxType[6] + t.kxStatus[6] + t.kxStatus[17] + t.zrStatus[0] + t.qhVersion[0],
              "-----");
}

TEST(StatusFormat, ClassicBoxesFromTheSummaries) {
    ClassicFacts noTypes = kClassicDemo, faulty = kClassicDemo, noPresence = kClassicDemo;
    noTypes.kxccBits.reset();
    noTypes.kxFaults.reset();
    faulty.kxFaults = 0x01;
    noPresence.kxPresent.reset();
    // the summaries, a KX number; its status and type boxes, and the ZR box of that number
    const std::tuple<ClassicFacts, int, const char*, const char*, const char*> rows[] = {
        {ClassicFacts{}, 0, "Unknown", "Unknown", "Unknown"},
        {kClassicDemo, 0, "OK", "KX-H", "Not found"},
        {kClassicDemo, 1, "Not found", "N.A.", "OK"},
        {kClassicDemo, 3, "OK", "KXCC", "Not found"},
        {noTypes, 0, "Active", "Unknown", "Not found"},
        {faulty, 0, "Fault", "KX-H", "Not found"},
        {faulty, 2, "OK", "KX-H", "Not found"},
        {noPresence, 3, "Unknown", "N.A.", "Not found"},
    };
    for (const auto& [c, n, kxStatus, kxType, zrStatus] : rows) {
        StatusFacts facts;
        facts.classic = true;
        facts.summary = c;
        const ClassicStatusTexts t = classicStatusTexts(facts);
        const auto k = std::size_t(n);
        EXPECT_EQ(t.kxStatus[k] + "/" + t.kxType[k] + "/" + t.zrStatus[k % 8],
                  std::string(kxStatus) + "/" + kxType + "/" + zrStatus)
            << n << " " << kxStatus;
        EXPECT_EQ(t.cap, c.capacity ? "87" : "Unknown");
        EXPECT_EQ(t.dip, (c.dipBits ? std::array<std::string, 4>{"Off", "On", "Off", "On"}
                                    : std::array<std::string, 4>{}));
    }
}

}  // namespace
}  // namespace korvel
