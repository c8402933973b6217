#include "kx/commands.h"

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

}  // namespace korvel
