#pragma once

#include <optional>

#include "kx/commands.h"
#include "kx/settings.h"
#include "link/link.h"
#include "ui_model/module_lists.h"
#include "ui_model/prompter.h"

namespace korvel {

inline constexpr const char* kEraseWarning = KORVEL_TEXT(
    "Korvel", "Warning! This will permanently erase all settings of all selected KX-units");

// The page's buttons: the same to the module or group selected in cboKX, with
// their say in message boxes.
void SendKXSetting(Link& link, Prompter& prompter, const WindowRegistry& registry, KxButton button,
                   const KxCommand& command);
// "Erase All": asks first, then erases every selected module's settings.
void EraseKXSettings(Link& link, Prompter& prompter, const WindowRegistry& registry);

// The master/slave check with its closing message box.
void RunMasterSlaveCheck(Link& link, Prompter& prompter, const KxTypeTable& types);

// Either cmdMS button: with "All_KXxx" selected the master/slave check, else
// the ordinary MS-mode command.
void SendOrCheckMSMode(Link& link, Prompter& prompter, const WindowRegistry& registry,
                       KxButton button, std::optional<int> selectedMode, bool permanent);

}  // namespace korvel
