#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "link/frame.h"
#include "ops/bus.h"
#include "ops/module_name.h"
#include "status/status_facts.h"
#include "vg/vg_unit.h"

namespace korvel::ops {

// How an exchange that ended short becomes an operation's failure.
OpFailure exchangeFailure(const Bus& bus);

// The status request, each step asked again up to the bus's retries; a
// complete one registers the modules. The facts are the bus's afterwards.
Failure requestStatus(Bus& bus, bool classic = false);

// The modules of `family` whose status step got no answer: they may be there,
// so nothing that addresses the family as a whole can say it reached them.
std::vector<ModuleName> lostModules(const StatusFacts& facts, ModuleFamily family);

Failure resetFault(Bus& bus);

// The function test's frame, built by the test panel from what the user chose.
Failure functionTest(Bus& bus, const Frame& frame);

// Polls as the window's timer does, every `interval`, until the bus's stop
// request; the link's log says what came. Ends with the first unanswered poll.
Failure monitor(Bus& bus, std::chrono::milliseconds interval);

// What the VG unit the status request found offers, and its type ("VG-U", "WOBE").
struct VgUnitOffer : VgOffer {
    const char* unit = "Unknown";
};
VgUnitOffer vgOffer(const StatusFacts& facts);

// vg set: the configuration bits and/or the option bits. Refused (naming the
// bit in `setting`, "config" or "options" with its number) before anything is
// sent when the unit does not offer what is asked.
struct VgRequest {
    std::optional<VgBits> config, options;
    bool permanent = false;
};
struct VgSetResult {
    bool configSent = false, optionsSent = false;
    Failure failure;
};
VgSetResult vgSet(Bus& bus, const VgRequest& request);

}  // namespace korvel::ops
