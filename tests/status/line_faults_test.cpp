// The status request on a line that misbehaves: a module answering seconds
// late, a controller that falls silent, a line lost on the closing frame.
#include <gtest/gtest.h>

#include "status/status_request.h"
#include "tests/support/recorders.h"

namespace korvel {
namespace {

using namespace std::chrono_literals;
using sim::FrameData;
using testing::SimBench;

struct LateCase {
    bool classic;
    FrameData target;
    std::chrono::milliseconds late;
};

class LateModule : public ::testing::TestWithParam<LateCase> {};

// Only the late query's own boxes differ from a clean request; every later
// exchange is in step.
TEST_P(LateModule, CostsOnlyItsOwnBoxes) {
    const LateCase& c = GetParam();
    SimBench clean, late;
    ModuleRegistry cleanRegistry, lateRegistry;
    clean.openPort();
    late.openPort();
    late.controller.faults().aimed = sim::AimedFault{
        sim::FaultKind::LateAside, [&](const FrameData& f) { return f == c.target; }, 0, c.late};
    StatusReport expected = *RequestStatus(clean.link, cleanRegistry, c.classic);
    const StatusReport report = *RequestStatus(late.link, lateRegistry, c.classic);
    if (c.classic) {
        std::get<ClassicStatusTexts>(expected.dialog).cap = "Unknown";
        EXPECT_EQ(std::get<ClassicStatusTexts>(report.dialog),
                  std::get<ClassicStatusTexts>(expected.dialog));
    } else {
        auto& t = std::get<StandardStatusTexts>(expected.dialog);
        t.kxStatus[3] = t.kxType[3] = t.kxVersion[3] = "-";
        cleanRegistry.kxTypes[3] = kKxNone;
        EXPECT_EQ(std::get<StandardStatusTexts>(report.dialog), t);
        EXPECT_EQ(lateRegistry.kxTypes, cleanRegistry.kxTypes);
    }
    EXPECT_EQ(late.prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
}

INSTANTIATE_TEST_SUITE_P(Status, LateModule,
                         ::testing::Values(LateCase{false, {1, 11, 35}, 2500ms},
                                           LateCase{false, {1, 11, 35}, 4000ms},
                                           LateCase{true, {1, 3, 1}, 3500ms}));

// The controller answers `answered` frames, then nothing: one box, no dialog,
// the registry as it was, and nothing sent after the second silence.
TEST(SilentController, EndsTheRequestAfterTheSecondUnansweredExchange) {
    const struct {
        sim::ProtocolAnswer protocol;
        int answered;
    } cases[] = {{sim::ProtocolAnswer::Queued, 1}, {sim::ProtocolAnswer::Direct, 2},
                 {sim::ProtocolAnswer::Direct, 9}};
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
TEST(StatusClosingFrame, ALineLostThereKeepsTheCompleteResult) {
    SimBench b;
    b.openPort();
    ModuleRegistry registry;
    const std::size_t frames = (RequestStatus(b.link, registry, false), b.frames().size());
    b.controller.clearRecords();
    b.controller.faults().vanishAfterFrames = static_cast<int>(frames) - 1;
    registry = {};
    std::size_t framesAtHook = 0;
    const auto report =
        RequestStatus(b.link, registry, false, [&](const StatusReport&) {
            framesAtHook = b.frames().size();
        });
    EXPECT_TRUE(report);
    EXPECT_EQ(framesAtHook, frames - 1);
    EXPECT_FALSE(registry.kxList.empty());
    EXPECT_FALSE(b.link.portOpen());
}

TEST(ClassicCapacity, OnlyAnAnswerCarryingExactly16IsTaken) {
    SimBench b;
    b.openPort();
    b.controller.faults().bendAnswer = [](FrameData& d) {
        if (d.size() == 4 && d[1] == 3 && d[2] == 16) d[2] = 17;
    };
    ModuleRegistry registry;
    const StatusReport report = *RequestStatus(b.link, registry, true);
    EXPECT_EQ(std::get<ClassicStatusTexts>(report.dialog).cap, "Unknown");
}

}  // namespace
}  // namespace korvel
