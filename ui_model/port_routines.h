#pragma once

#include <string>

#include "link/link.h"
#include "ui_model/prompter.h"

namespace korvel {

// The user picked an entry of the port list: close any open port and stop
// polling, then open the number at the start of the entry text.
// Shows "Fout bij openen COM poort" when that fails. True when a port is open.
bool PickPort(Link& link, Prompter& prompter, const std::string& entryText);

// The user picked a network entry of the port list: as PickPort, for an address.
bool PickNetworkPort(Link& link, Prompter& prompter, const std::string& address);

}  // namespace korvel
