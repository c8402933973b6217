#pragma once

#include <ostream>

#include "status/status_request.h"

namespace korvel::ctl {

// What the status dialog shows: the system boxes, then every module that
// answered with its name, type, state and version.
void writeStatusText(const StatusReport& report, std::ostream& out);
void writeStatusJson(const StatusReport& report, std::ostream& out);

}  // namespace korvel::ctl
