#pragma once

#include <ostream>

#include "status/status_facts.h"

namespace korvel::ctl {

// The system boxes, then every module that is there with its name, type,
// state and version, and every module whose step got no answer as not
// answering. The JSON gives numbers as numbers.
void writeStatusText(const StatusFacts& facts, std::ostream& out);
void writeStatusJson(const StatusFacts& facts, std::ostream& out);

}  // namespace korvel::ctl
