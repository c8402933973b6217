#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/link.h"
#include "link/port_name.h"

namespace korvel {

// The text of a port-list entry: the number after one blank (" 3").
std::string portEntryText(int portNumber);

// "7", "/dev/ttyUSB0", "tcp://HOST:PORT", "rfc2217://HOST:PORT"; nullopt for
// anything else (a number needs whole digits in 1..16).
std::optional<PortSpec> parsePortSpec(std::string_view text);

// Tries ports 1..16 and returns those that opened; none is left open.
std::vector<int> FillPortList(SerialPort& port);

// Closes any open port and stops polling, then opens the number at the start
// of a port-list entry's text. True when a port is open; the port tells why not.
bool openPortEntry(Link& link, const std::string& entryText);
// As openPortEntry, for a network address.
bool openNetworkPort(Link& link, const std::string& address);

// "Refresh": close an open port (polling stops at its next tick), list the ports anew.
std::vector<int> RefreshPorts(Link& link);

}  // namespace korvel
