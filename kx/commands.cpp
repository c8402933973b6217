#include "kx/commands.h"

#include "kx/master_slave_check.h"
#include "link/bus_words.h"

namespace korvel {

DispatchOutcome sendKxCommand(Link& link, const Targets& targets, KxButton button,
                              const KxCommand& command) {
    const int n = 3 - static_cast<int>(button);
    return SendModuleCommand(link, ModuleFamily::KX, targets, n, kKxCommandMark, command.v,
                             command.x);
}

DispatchOutcome eraseKxSettings(Link& link, const Targets& targets) {
    return SendModuleCommand(link, ModuleFamily::KX, targets, 2, kKxCommandMark, kEraseCode, 0);
}

void SendKXSetting(Link& link, Prompter& prompter, const ModuleRegistry& registry,
                   KxButton button, const KxCommand& command) {
    presentOutcome(prompter, sendKxCommand(link, selectedTargets(registry, ModuleFamily::KX),
                                           button, command));
}

void EraseKXSettings(Link& link, Prompter& prompter, const ModuleRegistry& registry) {
    if (!confirmOrCancel(prompter, kEraseWarning)) return;
    presentOutcome(prompter,
                   eraseKxSettings(link, selectedTargets(registry, ModuleFamily::KX)));
}

void SendOrCheckMSMode(Link& link, Prompter& prompter, const ModuleRegistry& registry,
                       KxButton button, std::optional<int> selectedMode, bool permanent) {
    if (registry.kxList.selectedItemData() == kAllKXxx) {
        RunMasterSlaveCheck(link, prompter, registry.kxTypes);
        return;
    }
    SendKXSetting(link, prompter, registry, button,
                  optionCommand(KxOptionSetting::MSMode, selectedMode, permanent));
}

}  // namespace korvel
