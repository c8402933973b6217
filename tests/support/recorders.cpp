#include "tests/support/recorders.h"

namespace korvel::testing {

std::vector<std::string> RecordingPrompter::texts() const {
    std::vector<std::string> t;
    for (const ShownMessage& m : shown) t.push_back(m.text);
    return t;
}

SimBench::SimBench(sim::SimSystem system) : controller(std::move(system)) {}

void SimBench::openPort() {
    port.open(1);
}

std::vector<sim::FrameData> SimBench::commandsSince(std::size_t mark) const {
    std::vector<sim::FrameData> out;
    const auto& all = controller.framesReceived();
    for (std::size_t i = mark; i < all.size(); ++i)
        if (!all[i].empty()) out.push_back(all[i]);
    return out;
}

}  // namespace korvel::testing
