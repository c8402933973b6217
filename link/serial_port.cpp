#include "link/serial_port.h"

namespace korvel {

bool SerialPort::open(const PortSpec& port) {
    switch (port.kind) {
        case PortSpec::Kind::Number:
            return open(port.number);
        case PortSpec::Kind::Network:
            return openAddress(port.name);
        case PortSpec::Kind::Device:
            break;
    }
    return false;
}

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

}  // namespace korvel
