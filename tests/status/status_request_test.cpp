#include "status/status_request.h"

#include <gtest/gtest.h>

#include "status/system_query.h"
#include "tests/support/recorders.h"

namespace korvel {
namespace {

using sim::FrameData;
using sim::ProtocolAnswer;
using testing::SimBench;

struct StatusRequest : ::testing::Test {
    StatusRequest() {
        b.openPort();
        b.controller.system().statusCode = 2;
    }
    std::size_t emptyFramesBefore(const FrameData& request) const {
        std::size_t count = 0;
        for (const FrameData& f : b.frames()) {
            if (f == request) return count;
            if (f.empty()) ++count;
        }
        return count;
    }
    SimBench b;
    ModuleRegistry registry;
};

TEST_F(StatusRequest, LateVersionIsFetchedBehindTheMessagesAlreadyHeld) {
    b.controller.queueMessage({0, 40, 1, 2, 3, 4});
    b.controller.queueMessage({0, 41, 1, 2, 3, 4});
    b.controller.faults().protocolAnswer = ProtocolAnswer::Queued;
    const SystemFacts facts = *queryController(b.link);
    EXPECT_EQ(facts.protocolVersion, 3101);
    EXPECT_EQ(facts.statusCode, 2);  // from the first answer, which carried no version
    EXPECT_EQ(emptyFramesBefore({1, 10}), 3u);
    EXPECT_EQ(b.controller.pendingMessages(), 0u);
}

TEST_F(StatusRequest, WaitEndsAfterFortyEmptyFramesAndFallsBackToClassic) {
    b.controller.faults().protocolAnswer = ProtocolAnswer::Never;
    const std::optional<StatusReport> report = RequestStatus(b.link, registry, false);
    ASSERT_TRUE(report);
    EXPECT_EQ(emptyFramesBefore({1, 10}), 40u);
    EXPECT_TRUE(report->classic());
    const auto& t = std::get<ClassicStatusTexts>(report->dialog);
    EXPECT_EQ(t.system.protVer, "Unknown");
    EXPECT_EQ(t.system.system, "Fault");
}

TEST_F(StatusRequest, UnansweredEmptyFramesDoNotEndTheWait) {
    b.controller.faults().protocolAnswer = ProtocolAnswer::Queued;
    b.controller.faults().moduleAnswerDelay = 5;
    b.controller.faults().unanswered = [n = 0](const FrameData& f) mutable {
        return f.empty() && ++n <= 2;
    };
    const SystemFacts facts = *queryController(b.link);
    EXPECT_EQ(facts.protocolVersion, 3101);
    EXPECT_EQ(b.prompter.texts(), std::vector<std::string>(2, "Geen antwoord van Korvel"));
    EXPECT_EQ(emptyFramesBefore({1, 10}), 5u);
}

TEST_F(StatusRequest, NoAnswerEndsTheRequestAndKeepsTheRegistry) {
    registry.kxList.add(" 4", 4);
    registry.kxList.selected = 0;
    registry.kxTypes[4] = kKxH;
    b.controller.faults().skipAnswers = 1;
    EXPECT_FALSE(RequestStatus(b.link, registry, false));
    EXPECT_EQ(b.frames(), (std::vector<FrameData>{{1, 2}}));
    EXPECT_EQ(registry.kxList.entries, (std::vector<ListEntry>{{" 4", 4}}));
    EXPECT_EQ(registry.kxTypes[4], kKxH);
    EXPECT_EQ(b.prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
}

TEST_F(StatusRequest, ClosedPortAsksForAPortAndSendsNothing) {
    b.port.close();
    EXPECT_FALSE(RequestStatus(b.link, registry, false));
    ResetFault(b.link);
    EXPECT_TRUE(b.frames().empty());
    EXPECT_EQ(b.prompter.texts(), std::vector<std::string>(2, "Selecteer communicatie poort"));
}

TEST_F(StatusRequest, ResetFaultIsOneCommandAndTouchesNothingElse) {
    registry.zrList.add("All", -1);
    ResetFault(b.link);
    EXPECT_EQ(b.frames(), (std::vector<FrameData>{{1, 0}}));
    EXPECT_EQ(b.controller.system().resetFaultCount, 1);
    EXPECT_EQ(b.controller.system().statusCode, 0);
    EXPECT_EQ(registry.zrList.entries.size(), 1u);
}

TEST_F(StatusRequest, ProtocolVersionDecidesTheView) {
    struct Case {
        int protocol;
        bool classicRequested;
        bool classic;
    };
    for (const Case c : {Case{3101, false, false}, Case{3101, true, true}, Case{3100, false, true},
                         Case{3100, true, true}, Case{0, false, true}}) {
        SCOPED_TRACE(c.protocol);
        b.controller.system().protocolVersion = c.protocol;
        EXPECT_EQ(RequestStatus(b.link, registry, c.classicRequested)->classic(), c.classic);
    }
}

}  // namespace
}  // namespace korvel
