#pragma once

#include "link/link.h"
#include "ui_model/module_lists.h"
#include "ui_model/prompter.h"

namespace korvel::ui {

// What every page needs to talk to the bus: the link, the registry of the
// last status request and the message boxes.
struct BusContext {
    Link& link;
    WindowRegistry& registry;
    Prompter& prompter;
};

}  // namespace korvel::ui
