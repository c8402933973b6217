#pragma once

#include <string>
#include <vector>

#include "link/link.h"
#include "service/prompter.h"

namespace korvel {

// The text of a port-list entry: the number after one blank (" 3").
std::string portEntryText(int portNumber);

// Tries ports 1..16 and returns those that opened; none is left open.
std::vector<int> FillPortList(SerialPort& port);

// The user picked an entry of the port list: close any open port and stop
// polling, then open the number at the start of the entry text.
// Shows "Fout bij openen COM poort" when that fails. True when a port is open.
bool PickPort(Link& link, Prompter& prompter, const std::string& entryText);

// The user picked a network entry of the port list: as PickPort, for an address.
bool PickNetworkPort(Link& link, Prompter& prompter, const std::string& address);

// "Refresh": close an open port (polling stops at its next tick), list the ports anew.
std::vector<int> RefreshPorts(Link& link);

}  // namespace korvel
