#pragma once

#include <QJsonObject>
#include <ostream>
#include <string>
#include <vector>

#include "status/status_facts.h"

namespace korvel::ctl {

// The system boxes, then every module that is there with its name, type,
// state and version, and every module whose step got no answer as not
// answering. The JSON gives numbers as numbers.
void writeStatusText(const StatusFacts& facts, std::ostream& out);
// The modules whose status step got no answer ("kx:4", "qh:2"), in the order listed.
std::vector<std::string> notAnswering(const StatusFacts& facts, bool withQh = true);
// The run's JSON members.
QJsonObject statusJson(const StatusFacts& facts);
void writeStatusJson(const StatusFacts& facts, std::ostream& out);

}  // namespace korvel::ctl
