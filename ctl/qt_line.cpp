#include "ctl/qt_line.h"

namespace korvel::ctl {

PortSpec QtLineAccess::choose(const std::optional<PortSpec>& given) {
    if (given) return *given;
    demo_ = std::make_unique<sim::PtyServer>(sim::demoSystem());
    return PortSpec::device(demo_->devicePath());
}

}  // namespace korvel::ctl
