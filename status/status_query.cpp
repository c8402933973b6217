#include "status/status_query.h"

#include "link/bus_words.h"
#include "status/version.h"

namespace korvel {

std::optional<ModuleAnswer> queryModule(StatusSteps& steps, int address) {
    if (!steps.askMatching(Frame{kToController, kModuleStatus, address}, 6,
                           {kToController, kModuleStatus, address}))
        return std::nullopt;
    const ReplyBuffer& r = steps.reply();
    return ModuleAnswer{r[4], versionNumber(r[5], r[6])};
}

}  // namespace korvel
