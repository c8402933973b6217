#pragma once

#include <optional>

#include "kx/settings.h"
#include "link/dispatch.h"

namespace korvel {

// Index of a button in its control array.
enum class KxButton { Set = 0, Get = 1 };

inline constexpr const char* kEraseWarning =
    "Warning! This will permanently erase all settings of all selected KX-units";

// Sends a Set or Get of one setting to the module or group selected in cboKX;
// a Get leaves the value byte off.
void SendKXSetting(Link& link, const ModuleRegistry& registry, KxButton button,
                   const KxCommand& command);

// "Erase All": asks first, then erases every selected module's settings.
void EraseKXSettings(Link& link, const ModuleRegistry& registry);

// Either cmdMS button: with "All_KXxx" selected the master/slave check, else
// the ordinary MS-mode command.
void SendOrCheckMSMode(Link& link, const ModuleRegistry& registry, KxButton button,
                       std::optional<int> selectedMode, bool permanent);

}  // namespace korvel
