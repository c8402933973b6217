#pragma once

#include <optional>

#include "sim/controller.h"

// What the simulated controller does with each kind of frame. Each family of
// commands lives in its own file; the controller tries them in turn.
namespace korvel::sim {

// Frames with b1 = 1 addressed to the controller itself: status queries, Reset
// Fault, VG configuration. nullopt for anything it does not know.
std::optional<SimReply> answerControllerCommand(SimController& controller, const FrameData& data);

// Module commands (b1 = 0) for KX modules (b2 = 32..63). The module's answer is
// queued on the controller; false when no KX module has that address.
bool handleKxCommand(SimController& controller, const FrameData& data);

// Module commands (b1 = 0) for ZR modules (b2 = 64..71).
bool handleZrCommand(SimController& controller, const FrameData& data);

// Module lookup shared by the handlers.
SimModule* findModule(SimSystem& system, ModuleFamily family, int number);

}  // namespace korvel::sim
