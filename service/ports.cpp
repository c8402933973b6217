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

bool PickPort(Link& link, Prompter& prompter, const std::string& entryText) {
    SerialPort& port = link.port();
    if (port.isOpen()) {
        port.close();
        link.setPolling(false);
    }
    const double number = leadingNumber(entryText);
    if (number > 0) {
        const double rounded = roundHalfEven(number);
        if (rounded >= kFirstPort && rounded <= kLastPort && port.open(static_cast<int>(rounded)))
            return true;
    }
    prompter.showWithDetail(kOpenPortFailed, port.openErrorDetail());
    return false;
}

bool PickNetworkPort(Link& link, Prompter& prompter, const std::string& address) {
    SerialPort& port = link.port();
    if (port.isOpen()) {
        port.close();
        link.setPolling(false);
    }
    if (port.openAddress(address)) return true;
    prompter.showWithDetail(kOpenPortFailed, port.openErrorDetail());
    return false;
}

std::vector<int> RefreshPorts(Link& link) {
    if (link.port().isOpen()) link.port().close();
    return FillPortList(link.port());
}

}  // namespace korvel
