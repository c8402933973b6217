#include "ui_model/outcome_boxes.h"

namespace korvel {

void presentOutcome(Prompter& prompter, const DispatchOutcome& outcome) {
    if (outcome.result == DispatchOutcome::NoPort) prompter.show(kSelectPort);
    if (outcome.result == DispatchOutcome::NotRegistered) prompter.show(kRequestStatusFirst);
}

bool requirePortOpen(const Link& link, Prompter& prompter) {
    if (link.portOpen()) return true;
    prompter.show(kSelectPort, MessageIcon::Exclamation);
    return false;
}

void presentFailuresWith(Link& link, Prompter& prompter) {
    link.setFailureListener([&prompter](ExchangeOutcome outcome, const std::string& detail) {
        if (outcome == ExchangeOutcome::LineLost)
            prompter.showWithDetail(kNoAnswer, detail, MessageIcon::Exclamation);
        else
            prompter.show(kNoAnswer, MessageIcon::Exclamation);
    });
}

}  // namespace korvel
