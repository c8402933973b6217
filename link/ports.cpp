#include "link/ports.h"

#include "link/number_text.h"

namespace korvel {

std::string portDeviceName(int portNumber) {
    if (portNumber < kFirstPort || portNumber > kLastPort) return {};
#ifdef _WIN32
    return "COM" + std::to_string(portNumber);
#else
    if (portNumber <= 4) return "/dev/ttyS" + std::to_string(portNumber - 1);
    if (portNumber <= 12) return "/dev/ttyUSB" + std::to_string(portNumber - 5);
    return "/dev/ttyACM" + std::to_string(portNumber - 13);
#endif
}

std::string SerialPort::deviceName(int portNumber) const {
    return portDeviceName(portNumber);
}

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

bool PickPort(Link& link, const std::string& entryText) {
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
    link.prompter().showWithDetail(kOpenPortFailed, port.openErrorDetail());
    return false;
}

std::vector<int> RefreshPorts(Link& link) {
    if (link.port().isOpen()) link.port().close();
    return FillPortList(link.port());
}

}  // namespace korvel
