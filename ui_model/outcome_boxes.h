#pragma once

#include "link/link.h"
#include "service/dispatch.h"
#include "ui_model/prompter.h"

namespace korvel {

inline constexpr const char* kRequestStatusFirst =
    KORVEL_TEXT("Korvel", "Please request Status first to register modules");

// What the window shows for an outcome: "Selecteer communicatie poort" for no
// port, the request to ask for Status first; an unanswered exchange has been
// told by the link's failure listener already.
void presentOutcome(Prompter& prompter, const DispatchOutcome& outcome);

// The check a sending action makes first: shows "Selecteer communicatie poort"
// and returns false when no port is open.
bool requirePortOpen(const Link& link, Prompter& prompter);

// The window's way of hearing of failed exchanges: "Geen antwoord van Korvel",
// with the device and the system's error when the line was lost.
void presentFailuresWith(Link& link, Prompter& prompter);

}  // namespace korvel
