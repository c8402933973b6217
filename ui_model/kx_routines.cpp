#include "ui_model/kx_routines.h"

#include "kx/master_slave_check.h"
#include "ui_model/outcome_boxes.h"

namespace korvel {

namespace {

// One master is the good news; none or several is an error.
MessageIcon iconOf(const MasterSlaveCheck& check) {
    if (check.outcome == MasterSlaveOutcome::Judged && check.masterCount != 1)
        return MessageIcon::Critical;
    return MessageIcon::None;
}

}  // namespace

void SendKXSetting(Link& link, Prompter& prompter, const WindowRegistry& registry, KxButton button,
                   const KxCommand& command) {
    presentOutcome(prompter, sendKxCommand(link, selectedTargets(registry, ModuleFamily::KX),
                                           button, command));
}

void EraseKXSettings(Link& link, Prompter& prompter, const WindowRegistry& registry) {
    if (!confirmOrCancel(prompter, kEraseWarning, MessageButtons::OkCancelDefaultCancel)) return;
    presentOutcome(prompter, eraseKxSettings(link, selectedTargets(registry, ModuleFamily::KX)));
}

void RunMasterSlaveCheck(Link& link, Prompter& prompter, const KxTypeTable& types) {
    if (!requirePortOpen(link, prompter)) return;
    const MasterSlaveCheck check = checkMasterSlave(link, types);
    if (!check.message.empty()) prompter.show(check.message, iconOf(check));
}

void SendOrCheckMSMode(Link& link, Prompter& prompter, const WindowRegistry& registry,
                       KxButton button, std::optional<int> selectedMode, bool permanent) {
    if (registry.kxList.selectedItemData() == kAllKXxx) {
        RunMasterSlaveCheck(link, prompter, registry.kxTypes);
        return;
    }
    SendKXSetting(link, prompter, registry, button,
                  optionCommand(KxOptionSetting::MSMode, selectedMode, permanent));
}

}  // namespace korvel
