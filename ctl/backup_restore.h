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
                                 const StatusFacts& status, const Terminal& terminal);

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

// Writes the permanent settings back and reads each one back. True when every
// module was there, every value was written and read back equal.
bool restore(Link& link, const ModuleRegistry& registry, const std::vector<RestoreTarget>& targets,
             const Terminal& terminal);

}  // namespace korvel::ctl
