#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "link/link.h"
#include "ops/op_error.h"
#include "service/module_registry.h"
#include "status/status_facts.h"

namespace korvel::ops {

// How many times an operation asks again for a read that got no answer, unless told otherwise.
inline constexpr int kDefaultReadRetries = 3;

// Where a run is: `done` of `total` steps, a step being one setting (a ZR32
// module's configuration counts one step per permanence when read).
struct RunProgress {
    std::size_t done = 0, total = 0;
    std::string module;   // "kx:2.0 (KX44)"
    std::string setting;  // the setting in hand
};

// The system as the operations see it: the line, the modules the last status
// request registered and what it reported, and how the caller wants runs to go.
class Bus {
  public:
    // Over a front end's own link and registry (the window's Backup page).
    Bus(Link& link, ModuleRegistry& registry);
    // A link of its own over `port` (korvelctl).
    Bus(SerialPort& port, Clock& clock, LogSink& log, PollSwitch& poll);
    Bus(const Bus&) = delete;
    Bus& operator=(const Bus&) = delete;

    Link& link() { return link_; }
    const Link& link() const { return link_; }
    ModuleRegistry& registry() { return registry_; }
    const ModuleRegistry& registry() const { return registry_; }
    // What the last status request reported; nullopt before one completed.
    const std::optional<StatusFacts>& facts() const { return facts_; }
    // Registers the modules of a completed status request.
    void takeFacts(const StatusFacts& facts);

    // Each read that got no answer is asked again up to this many times, on its own.
    int retries = kDefaultReadRetries;
    // Told between exchanges, never inside one.
    std::function<void(const RunProgress&)> progress;
    // Non-empty: the run stops before its next exchange, for this reason
    // ("cancelled", "interrupted").
    std::function<std::string()> stopRequest;

    // The reason to stop now, or empty to go on.
    std::string stopReason() const { return stopRequest ? stopRequest() : std::string(); }

  private:
    std::unique_ptr<Link> ownLink_;
    ModuleRegistry ownRegistry_;
    Link& link_;
    ModuleRegistry& registry_;
    std::optional<StatusFacts> facts_;
};

}  // namespace korvel::ops
