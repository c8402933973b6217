#include "kx/commands.h"

#include "kx/master_slave_check.h"
#include "link/bus_words.h"

namespace korvel {

void SendKXSetting(Link& link, const ModuleRegistry& registry, KxButton button,
                   const KxCommand& command) {
    const int n = 3 - static_cast<int>(button);
    SendModuleCommand(link, registry, Family::KX, n, kKxCommandMark, command.v, command.x);
}

void EraseKXSettings(Link& link, const ModuleRegistry& registry) {
    if (!confirmOrCancel(link.prompter(), kEraseWarning)) return;
    SendModuleCommand(link, registry, Family::KX, 2, kKxCommandMark, kEraseCode, 0);
}

void SendOrCheckMSMode(Link& link, const ModuleRegistry& registry, KxButton button,
                       std::optional<int> selectedMode, bool permanent) {
    if (registry.kxList.selectedItemData() == kAllKXxx) {
        RunMasterSlaveCheck(link, registry.kxTypes);
        return;
    }
    SendKXSetting(link, registry, button,
                  optionCommand(KxOptionSetting::MSMode, selectedMode, permanent));
}

}  // namespace korvel
