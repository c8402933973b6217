#pragma once

#include <QJsonObject>
#include <optional>
#include <string>
#include <vector>

#include "status/status_facts.h"

namespace korvel::results {

// One line of the module table: a module that is there, or one whose step got
// no answer. Modules that answered as absent are left out, as the dialog's
// lists leave them out.
struct StatusRow {
    StatusRow(std::string module, std::string family, int number)
        : module(std::move(module)), family(std::move(family)), number(number) {}

    // The step that asks this module got no answer.
    void notAnswering() {
        answering = false;
        type.clear();
        status = "not answering";
        version.clear();
    }

    std::string module, family;
    int number = 0;
    std::optional<int> half;  // only for the halves of a KX44
    bool answering = true;
    std::string type, status, version;
};

// The module table: every module that is there, and every module whose step
// got no answer, in the order listed.
std::vector<StatusRow> statusRows(const StatusFacts& facts);
// The modules whose status step got no answer ("kx:4", "qh:2"), in the order listed.
std::vector<std::string> notAnswering(const StatusFacts& facts, bool withQh = true);
// The status command's members. The JSON gives numbers as numbers.
QJsonObject statusJson(const StatusFacts& facts);

}  // namespace korvel::results
