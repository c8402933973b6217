#include "ctl/qt_line.h"

namespace korvel::ctl {

namespace {
// A device path or a network address is served under this number, as the demo serves its line.
constexpr int kPathPort = 1;
}  // namespace

int QtLineAccess::choose(const std::string& portValue, bool demo) {
    if (demo) {
        demo_ = std::make_unique<sim::PtyServer>(sim::demoSystem());
        serial_.overrideDevice(kPathPort, demo_->devicePath());
        return kPathPort;
    }
    if (portValue.starts_with('/')) {
        serial_.overrideDevice(kPathPort, portValue);
        return kPathPort;
    }
    if (net::looksLikeNetAddress(portValue)) {
        network_.overrideAddress(kPathPort, portValue);
        return kPathPort;
    }
    return std::stoi(portValue);
}

}  // namespace korvel::ctl
