#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/link.h"
#include "service/dispatch.h"
#include "sim/controller.h"
#include "sim/memory_port.h"
#include "ui_model/module_lists.h"
#include "ui_model/outcome_boxes.h"

namespace korvel::testing {

struct ShownMessage {
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
    std::string detail;
};

// Records message boxes and answers them with `answer`.
class RecordingPrompter final : public Prompter {
  public:
    MessageAnswer show(const std::string& text, MessageIcon icon, MessageButtons buttons) override {
        shown.push_back({text, icon, buttons, {}});
        return answer;
    }
    void showWithDetail(const std::string& text, const std::string& detail,
                        MessageIcon icon) override {
        shown.push_back({text, icon, MessageButtons::Ok, detail});
    }
    std::vector<std::string> texts() const;

    std::vector<ShownMessage> shown;
    MessageAnswer answer = MessageAnswer::Ok;
};

// Failed exchanges shown in `prompter`, as the window shows them.
struct PresentedFailures {
    PresentedFailures(Link& link, Prompter& prompter) { presentFailuresWith(link, prompter); }
};

// Keeps every exchange's record, as the message log takes them.
class StringLog final : public LogSink {
  public:
    void exchanged(const ExchangeRecord& record) override { records.push_back(record); }
    std::vector<ExchangeRecord> records;
};

class PollRecorder final : public PollSwitch {
  public:
    void setPolling(bool on) override { polling = on; }
    bool polling = false;
};

// A link on a port the test brings, with everything the link talks to
// recorded; failed exchanges show in `prompter` as the window shows them.
template <class Log = StringLog>
struct LinkRig {
    LinkRig(SerialPort& port, Clock& clock) : link{port, clock, log, poll} {}
    RecordingPrompter prompter;
    Log log;
    PollRecorder poll;
    Link link;
    PresentedFailures failures{link, prompter};
};

struct SimLine {
    explicit SimLine(sim::SimSystem system) : controller(std::move(system)) {}
    sim::SimController controller;
    sim::FakeClock clock;
    sim::MemoryPort port{controller, clock};
};

// A link wired to a simulated controller through the in-memory port.
struct SimBench : SimLine, LinkRig<> {
    explicit SimBench(sim::SimSystem system = sim::demoSystem())
        : SimLine(std::move(system)), LinkRig(port, clock) {}

    void openPort() { port.open(1); }
    const std::vector<sim::FrameData>& frames() const { return controller.framesReceived(); }
    std::vector<sim::FrameData> commandsSince(std::size_t mark) const;
};

// A bench whose port is open from the start.
struct OpenBench : SimBench {
    explicit OpenBench(sim::SimSystem system = sim::demoSystem()) : SimBench(std::move(system)) {
        openPort();
    }
};

// The frames the controller received since `mark`, without the empty ones.
std::vector<sim::FrameData> commandsSince(const sim::SimController& c, std::size_t mark);

// An answer as the receiver keeps it: its header and data bytes without the top bit.
ReplyBuffer replyOf(const sim::FrameData& data, std::uint8_t headerBits = 0);

// What a status request of the demo system registers.
WindowRegistry demoRegistry();

// The ZR report of `module` written out from the settings it holds, lines ended by `end`.
std::string zrReportOf(const sim::ZrSettings& s, int module, bool permanent,
                       const std::string& end = "\r\n");

// A registry with one KX entry (or group) selected.
WindowRegistry selecting(std::int32_t kxItem);

sim::SimModule kxModule(int number, std::uint8_t status, int version = 1000);

// A fault that hits the one frame `target`.
sim::AimedFault aimedAt(sim::FaultKind kind, const sim::FrameData& target,
                        std::chrono::nanoseconds late = {});

// The one box shown is the erase warning for `units` ("KX", "ZR32"), Cancel by default.
void expectEraseWarning(const RecordingPrompter& prompter, const std::string& units);

}  // namespace korvel::testing
