#include "service/ports.h"

#include "service/number_text.h"

namespace korvel {

std::string portEntryText(int portNumber) {
    return " " + std::to_string(portNumber);
}

std::vector<int> FillPortList(SerialPort& port) {
    std::vector<int> usable;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        if (port.open(n)) {
            usable.push_back(n);
            port.close();
        }
    }
    return usable;
}

namespace {

// A pick closes the port in use first and stops polling.
bool pick(Link& link, const auto& open) {
    SerialPort& port = link.port();
    if (port.isOpen()) {
        port.close();
        link.setPolling(false);
    }
    return open(port);
}

}  // namespace

bool openPortEntry(Link& link, const std::string& entryText) {
    return pick(link, [&](SerialPort& port) {
        const double number = leadingNumber(entryText);
        if (number <= 0) return false;
        const double rounded = roundHalfEven(number);
        return rounded >= kFirstPort && rounded <= kLastPort &&
               port.open(static_cast<int>(rounded));
    });
}

bool openNetworkPort(Link& link, const std::string& address) {
    return pick(link, [&](SerialPort& port) { return port.openAddress(address); });
}

std::vector<int> RefreshPorts(Link& link) {
    if (link.port().isOpen()) link.port().close();
    return FillPortList(link.port());
}

std::optional<PortSpec> parsePortSpec(std::string_view text) {
    if (text.starts_with('/')) return PortSpec::device(std::string(text));
    if (text.starts_with("tcp://") || text.starts_with("rfc2217://"))
        return PortSpec::network(std::string(text));
    if (const std::optional<int> n = typedWholeNumber(text, kFirstPort, kLastPort))
        return PortSpec::port(*n);
    return std::nullopt;
}

}  // namespace korvel
