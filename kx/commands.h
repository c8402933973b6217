#pragma once

#include "kx/settings.h"
#include "service/dispatch.h"

namespace korvel {

// Whether a command writes a setting or asks a module for it.
enum class KxButton { Set = 0, Get = 1 };

// Sends a Set or Get of one setting to each target module; a Get leaves the
// value byte off.
DispatchOutcome sendKxCommand(Link& link, const Targets& targets, KxButton button,
                              const KxCommand& command);
// Erases every target module's settings, without asking.
DispatchOutcome eraseKxSettings(Link& link, const Targets& targets);

}  // namespace korvel
