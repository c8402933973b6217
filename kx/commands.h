#pragma once

#include <optional>

#include "kx/settings.h"
#include "service/dispatch.h"
#include "service/prompter.h"

namespace korvel {

// Index of a button in its control array.
enum class KxButton { Set = 0, Get = 1 };

inline constexpr const char* kEraseWarning =
    "Warning! This will permanently erase all settings of all selected KX-units";

// Sends a Set or Get of one setting to each target module; a Get leaves the
// value byte off.
DispatchOutcome sendKxCommand(Link& link, const Targets& targets, KxButton button,
                              const KxCommand& command);
// Erases every target module's settings, without asking.
DispatchOutcome eraseKxSettings(Link& link, const Targets& targets);

// The page's buttons: the same to the module or group selected in cboKX, with
// their say in message boxes.
void SendKXSetting(Link& link, Prompter& prompter, const ModuleRegistry& registry,
                   KxButton button, const KxCommand& command);
// "Erase All": asks first, then erases every selected module's settings.
void EraseKXSettings(Link& link, Prompter& prompter, const ModuleRegistry& registry);

// Either cmdMS button: with "All_KXxx" selected the master/slave check, else
// the ordinary MS-mode command.
void SendOrCheckMSMode(Link& link, Prompter& prompter, const ModuleRegistry& registry,
                       KxButton button, std::optional<int> selectedMode, bool permanent);

}  // namespace korvel
