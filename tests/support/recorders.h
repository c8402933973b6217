#pragma once

#include <string>
#include <vector>

#include "link/link.h"
#include "sim/controller.h"
#include "sim/memory_port.h"

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

class StringLog final : public LogSink {
  public:
    void append(std::string_view piece) override { text += piece; }
    std::string text;
};

class PollRecorder final : public PollSwitch {
  public:
    void setPolling(bool on) override { polling = on; }
    bool polling = false;
};

// A link wired to a simulated controller through the in-memory port, with
// everything the link talks to recorded.
struct SimBench {
    explicit SimBench(sim::SimSystem system = sim::demoSystem());

    // Opens port 1 (as picking " 1" would).
    void openPort();
    // Data values of the frames the controller received, each as a vector.
    const std::vector<sim::FrameData>& frames() const { return controller.framesReceived(); }
    // The frames received since `mark` without the empty ones.
    std::vector<sim::FrameData> commandsSince(std::size_t mark) const;

    sim::SimController controller;
    sim::FakeClock clock;
    sim::MemoryPort port{controller, clock};
    RecordingPrompter prompter;
    StringLog log;
    PollRecorder poll;
    Link link{port, clock, prompter, log, poll};
};

}  // namespace korvel::testing
