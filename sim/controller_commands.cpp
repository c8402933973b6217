#include "sim/handlers.h"

namespace korvel::sim {

std::optional<SimReply> answerControllerCommand(SimController& controller, const FrameData& data) {
    SimSystem& system = controller.system();
    if (data.size() == 2 && data[1] == 0) {  // Reset Fault
        ++system.resetFaultCount;
        system.statusCode &= ~2;
        return SimReply{};
    }
    return std::nullopt;
}

}  // namespace korvel::sim
