#include "link/bus_words.h"
#include "status/status_query.h"
#include "status/status_request.h"

namespace korvel {

namespace {

ModuleFact askModule(StatusSteps& steps, ModuleFamily family, int number, int address, int half = 0) {
    ModuleFact fact{family, number, half};
    const std::optional<ModuleAnswer> answer = queryModule(steps, address);
    if (!answer) return fact;
    fact.answered = true;
    fact.status = answer->status;
    fact.version = answer->version;
    if (family == ModuleFamily::KX && fact.present()) fact.typeCode = kxTypeOf(fact.status).code;
    return fact;
}

// The second half of a KX44 answers at bus address n, right after its first half.
void askKxModules(StatusSteps& steps, std::vector<ModuleFact>& facts) {
    for (int n = 0; n < 16; ++n) {
        facts.push_back(askModule(steps, ModuleFamily::KX, n, kKxAddress + n));
        if (facts.back().typeCode == kKx44)
            facts.push_back(askModule(steps, ModuleFamily::KX, n, n, 1));
    }
}

void askModules(StatusSteps& steps, std::vector<ModuleFact>& facts, ModuleFamily family, int count,
                int firstAddress) {
    for (int n = 0; n < count; ++n) facts.push_back(askModule(steps, family, n, firstAddress + n));
}

}  // namespace

std::vector<ModuleFact> queryStandardView(StatusSteps& steps) {
    std::vector<ModuleFact> facts;
    askKxModules(steps, facts);
    askModules(steps, facts, ModuleFamily::ZR, 8, kZrAddress);
    askModules(steps, facts, ModuleFamily::QH, 16, kQhAddress);
    return facts;
}

}  // namespace korvel
