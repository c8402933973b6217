// The status request on a line that misbehaves: a controller that falls
// silent, a line lost on the closing frame, a capacity answer out of pattern.
#include <gtest/gtest.h>

#include "status/status_request.h"
#include "tests/support/recorders.h"

namespace korvel {
namespace {

using sim::FrameData;
using testing::SimBench;

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
TEST(StatusClosingFrame, ALineLostThereKeepsTheCompleteResult) {
    SimBench b;
    b.openPort();
    ModuleRegistry registry;
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
