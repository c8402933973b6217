#include "ctl/qt_line.h"

namespace korvel::ctl {

namespace {
// A device path is served under this number, as the demo serves its line.
constexpr int kPathPort = 1;
}  // namespace

int QtLineAccess::choose(const std::string& portValue, bool demo) {
    if (demo) {
        demo_ = std::make_unique<sim::PtyServer>(sim::demoSystem());
        port_.overrideDevice(kPathPort, demo_->devicePath());
        return kPathPort;
    }
    if (portValue.starts_with('/')) {
        port_.overrideDevice(kPathPort, portValue);
        return kPathPort;
    }
    return std::stoi(portValue);
}

}  // namespace korvel::ctl
