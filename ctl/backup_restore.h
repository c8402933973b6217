#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ctl/backup_file.h"
#include "ctl/terminal.h"
#include "status/status_request.h"

namespace korvel::ctl {

// Reads every KX module's settings (active and permanent) and every ZR32
// module's configuration that the status request registered. nullopt after a
// line saying what was missing: a backup is whole or not written.
std::optional<Backup> takeBackup(Link& link, const ModuleRegistry& registry,
                                 const StatusFacts& status, const Terminal& terminal,
                                 int retries);

// A module of the file and where its settings go (--map moves them).
struct RestoreTarget {
    const ModuleBackup* saved;
    ModuleName target;
};

// The modules to restore after --only and --map, all checked against the file;
// nullopt with the reason in `error` before anything is sent.
std::optional<std::vector<RestoreTarget>> restoreTargets(const Backup& backup,
                                                         const std::vector<std::string>& only,
                                                         const std::vector<std::string>& map,
                                                         std::string& error);

// --dry-run: every value that would be written, one line each.
void printRestorePlan(const std::vector<RestoreTarget>& targets, const Terminal& terminal);

struct RestoreResult {
    bool equal = true;     // every value read back as the file holds it
    bool skipped = false;  // a module of the file is missing now, or of another type
    bool stopped = false;  // the run stopped; what was and was not written has been said
    int signal = 0;        // the signal that stopped it, or 0

    bool whole() const { return equal && !skipped && !stopped; }
};

// Writes the permanent settings back and reads each one back; a read that got
// no answer is asked again up to `retries` times. A run that stops, for no
// answer, a lost line or a signal, says what it wrote and what it did not.
RestoreResult restore(Link& link, const ModuleRegistry& registry,
                      const std::vector<RestoreTarget>& targets, const Terminal& terminal,
                      int retries);

}  // namespace korvel::ctl
