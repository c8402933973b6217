#pragma once

#include <string>
#include <vector>

#include "link/link.h"
#include "service/module_registry.h"

namespace korvel {

inline constexpr const char* kNoMaster = "Your system has no master!";
inline constexpr const char* kMasterSlaveOk = "Your master/slave settings are OK";
inline constexpr const char* kMultipleMasters = "Your system has multiple masters!";
inline constexpr const char* kNoAnswerFromModule = "No answer from module ";

enum class MasterSlaveOutcome {
    Judged,        // every module answered; the message is the report and its verdict
    ModuleSilent,  // a module gave no answer within 2 s; the message names it
    Abandoned,     // port closed or an exchange unanswered; already reported, no message
};

// One module's answer: its index in the type table and the mode it reported.
struct MasterSlaveAnswer {
    int module = 0;
    int mode = 0;
    bool operator==(const MasterSlaveAnswer&) const = default;
};

struct MasterSlaveCheck {
    MasterSlaveOutcome outcome = MasterSlaveOutcome::Abandoned;
    std::string report;  // one line per answering module, each ending in CR LF
    int masterCount = 0;
    std::vector<MasterSlaveAnswer> answers;  // in asking order, as the report lists them
    int silentModule = -1;                   // ModuleSilent: the module that gave no answer
    const char* verdict = nullptr;           // Judged: the verdict line
    std::string message;                     // what the check ends with; empty when abandoned
};

// Asks every registered KX-H and KX44 module (both halves) for its master/slave
// mode, one after another, and judges the answers. Changes no setting.
// Abandoned with the port closed, no message.
MasterSlaveCheck checkMasterSlave(Link& link, const KxTypeTable& types);

}  // namespace korvel
