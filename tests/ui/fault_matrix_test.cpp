// Every fault of the line against every operation: what each cell must show,
// log, keep and stop, and that the program works again once the fault is gone.
#include "tests/ui/fault_matrix.h"

#include <QLineEdit>

namespace korvel::testing::matrix {
namespace {

using namespace std::chrono_literals;

struct FaultRow {
    Fault fault;
    const char* name;
    sim::FaultKind kind;
    int frames = 0;
    std::chrono::milliseconds late{0};
};

const FaultRow kFaults[] = {
    {Fault::NoAnswer, "NoAnswer", sim::FaultKind::NoAnswer},
    {Fault::BadCheck, "WrongCheckByte", sim::FaultKind::BadCheck},
    {Fault::Garbage, "GarbageBeforeHeader", sim::FaultKind::Garbage},
    {Fault::OneFrameLate, "OneFrameLate", sim::FaultKind::DelayFrames, 1},
    {Fault::ThreeFramesLate, "ThreeFramesLate", sim::FaultKind::DelayFrames, 3},
    {Fault::At1900ms, "AnswerAt1900ms", sim::FaultKind::Late, 0, 1900ms},
    {Fault::At2100ms, "AnswerAt2100ms", sim::FaultKind::Late, 0, 2100ms},
    {Fault::Vanish, "LineVanishes", sim::FaultKind::Vanish},
};

// The length of a request's log text: ">>", header, seven byte places, check byte.
constexpr qsizetype kRequestTextLength = 2 + 3 * 9;

Outcome runOperation(Rig& r, Operation& op) {
    const std::size_t frames = r.controller.framesReceived().size();
    const std::size_t messages = r.prompter.shown.size();
    const qsizetype log = r.logText().size();
    const auto start = r.clock.now();
    op.run(r);
    Outcome o;
    const auto& all = r.controller.framesReceived();
    o.frames.assign(all.begin() + static_cast<long>(frames), all.end());
    o.messages.assign(r.prompter.shown.begin() + static_cast<long>(messages),
                      r.prompter.shown.end());
    o.log = r.logText().mid(log);
    o.elapsed = r.clock.now() - start;
    o.polling = r.polling();
    o.portOpen = r.port.isOpen();
    return o;
}

int noAnswerBoxes(const Outcome& o) {
    int count = 0;
    for (const ShownMessage& m : o.messages)
        if (m.text == kNoAnswer) {
            ++count;
            EXPECT_EQ(m.icon, MessageIcon::Exclamation);
        }
    return count;
}

using Cell = std::tuple<std::size_t, std::size_t>;  // operation, fault

class FaultMatrix : public ::testing::TestWithParam<Cell> {
  protected:
    Operation& op() const { return *operations()[std::get<0>(GetParam())]; }
    const FaultRow& row() const { return kFaults[std::get<1>(GetParam())]; }

    void arm(Rig& r) const {
        const sim::FrameData target = op().target();
        r.controller.faults().aimed =
            sim::AimedFault{row().kind, [target](const sim::FrameData& f) { return f == target; },
                            row().frames, row().late};
    }

    // What every cell shares: the one message, the log line, the time taken, polling.
    void expectShared(Rig& r, const Outcome& o) const {
        const Fault f = row().fault;
        EXPECT_FALSE(r.controller.faults().aimed) << "the fault never hit its frame";
        const bool failed = answerLost(f) || f == Fault::Vanish;
        EXPECT_EQ(noAnswerBoxes(o), failed ? 1 : 0);

        if (!op().target().empty()) {
            const QString line = requestLine(o.log, op().target());
            ASSERT_FALSE(line.isEmpty()) << o.log.toStdString();
            const qsizetype answerAt = failed ? -1 : kRequestTextLength;
            EXPECT_EQ(line.indexOf("  <<"), answerAt) << line.toStdString();
            if (failed) {
                EXPECT_EQ(line.size(), kRequestTextLength) << line.toStdString();
            }
        }

        // Only a missing or too late answer waits out the 2 s.
        const auto least = f == Fault::NoAnswer || f == Fault::At2100ms ? 2000ms
                           : f == Fault::At1900ms                       ? 1900ms
                                                                        : 0ms;
        EXPECT_GE(o.elapsed, least);
        if (least == 0ms) {
            EXPECT_LT(o.elapsed, 1900ms);
        }

        if (f == Fault::Vanish) {
            EXPECT_FALSE(o.portOpen);
            EXPECT_FALSE(o.polling);
        } else {
            EXPECT_TRUE(o.portOpen);
            EXPECT_EQ(o.polling, !answerLost(f) || op().goesOnAfterNoAnswer());
        }
    }

    // A fault the program must not notice: the same frames and log as without it.
    void expectSameAsWithoutFault(const Outcome& o) const {
        Rig clean;
        op().setUp(clean);
        const Outcome base = runOperation(clean, op());
        EXPECT_EQ(o.frames, base.frames);
        EXPECT_EQ(o.log, base.log);
    }

    // After a lost line the operation asks for a port and sends nothing; once
    // the adapter is back and the port picked again it works.
    void expectPortAskedFor(Rig& r) const {
        r.prompter.shown.clear();
        const Outcome o = runOperation(r, op());
        EXPECT_TRUE(o.frames.empty());
        std::vector<std::string> expected;
        if (!op().closedPortMessage().empty()) expected.push_back(op().closedPortMessage());
        EXPECT_EQ(r.prompter.texts(), expected);
        if (!o.messages.empty()) {
            EXPECT_EQ(o.messages[0].icon, op().closedPortIcon());
        }
        r.controller.reconnect();
        r.pickPort();
    }

    void expectUsableAgain(Rig& r) const {
        r.clock.advance(1s);  // the user reads the message; a late answer arrives meanwhile
        r.prompter.shown.clear();
        op().beforeRerun(r);
        const Outcome again = runOperation(r, op());
        EXPECT_EQ(noAnswerBoxes(again), 0);
        op().expectClean(r, again);
    }
};

TEST_P(FaultMatrix, Cell) {
    Rig r;
    op().setUp(r);
    if (HasFatalFailure()) return;
    r.prompter.shown.clear();
    arm(r);
    const Outcome o = runOperation(r, op());

    expectShared(r, o);
    op().expect(r, row().fault, o);
    if (transparent(row().fault)) expectSameAsWithoutFault(o);
    if (row().fault == Fault::Vanish) expectPortAskedFor(r);
    expectUsableAgain(r);
}

std::string cellName(const ::testing::TestParamInfo<Cell>& info) {
    return std::string(operations()[std::get<0>(info.param)]->name()) + "_" +
           kFaults[std::get<1>(info.param)].name;
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrix,
                         ::testing::Combine(::testing::Range<std::size_t>(0, operations().size()),
                                            ::testing::Range<std::size_t>(0, std::size(kFaults))),
                         cellName);

}  // namespace
}  // namespace korvel::testing::matrix
