#pragma once

#include <ostream>

#include "results_json/status_json.h"
#include "status/status_facts.h"

namespace korvel::ctl {

using results::notAnswering;
using results::statusJson;

// The system boxes, then every module that is there with its name, type,
// state and version, and every module whose step got no answer as not
// answering.
void writeStatusText(const StatusFacts& facts, std::ostream& out);

}  // namespace korvel::ctl
