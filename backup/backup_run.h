#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "backup/backup_file.h"
#include "link/link.h"
#include "service/module_registry.h"
#include "status/status_request.h"

namespace korvel::backup {

// How many times a run asks again for a read that got no answer, unless told otherwise.
inline constexpr int kDefaultReadRetries = 2;

// What a run found or did for one setting of one module, or for a whole
// module (`setting` empty) that it skipped or could not reach.
enum class ItemKind {
    Saved,        // backup: read from the module into the file
    Equal,        // verify: the module holds what the file holds
    Written,      // restore: written, and read back equal
    Sent,         // restore: written; the run stopped before it was read back
    Different,    // verify or restore: the module holds another value than the file
    Skipped,      // not sent: the module is missing now, of another type, or unknown
    NotAnswered,  // no answer after the retries
    Planned,      // dry run: would be written (or, `readOnly`, only read back)
};

struct RunItem {
    ItemKind kind = ItemKind::Saved;
    ModuleName module;      // where the value is read or written (after a map)
    std::string type;       // "KX-H", "KX44", "WOBE-s", "ZR32"
    std::string setting;    // "pwm", "device 5 power", ...; empty for a whole module
    bool permanent = true;  // backup reads both; verify and restore the permanent ones
    std::optional<int> fileValue, moduleValue;
    std::string reason;     // why skipped or not answered, in words
    bool readOnly = false;  // a setting that is only read back (a KX44's master/slave mode)
};

// Where a run is: `done` of `total` steps, a step being one setting (a ZR32
// module's configuration counts one step per permanence when read).
struct RunProgress {
    std::size_t done = 0, total = 0;
    std::string module;   // "kx:2.0 (KX44)"
    std::string setting;  // the setting in hand
};

// How a run tells where it is and learns that it must stop. Both are called
// between exchanges only, never inside one.
struct RunControl {
    std::function<void(const RunProgress&)> progress;
    // Non-empty: the run stops before its next exchange, for this reason
    // ("cancelled", "interrupted").
    std::function<std::string()> stopRequest;
};

// A restore target's name and how many settings it was to be written.
struct PlannedModule {
    std::string label;
    std::size_t writes = 0;
};

struct RunResult {
    std::vector<RunItem> items;
    std::string stopped;                 // why the run ended early; empty when it ran to its end
    std::vector<PlannedModule> planned;  // restore only: every target, in order
    // Ran to its end, and every item is Saved, Equal or Written.
    bool whole() const;
    // The settings a stopped or partial restore put on the modules, and those it did not.
    std::string writtenSummary() const;
    std::string notWrittenSummary() const;
};

struct BackupRun {
    RunResult result;
    std::optional<Backup> backup;  // set only when every module was read whole
};

// Reads every KX module's settings (active and permanent) and every ZR32
// module's configuration that the status request registered. A module whose
// status answer was lost or whose type is unknown makes the backup not whole.
BackupRun takeBackup(Link& link, const ModuleRegistry& registry, const StatusFacts& status,
                     int retries, const RunControl& control = {});

// A module of the file and where its settings go (a map moves them).
struct RestoreTarget {
    const ModuleBackup* saved;
    ModuleName target;
};

// The modules to restore or verify after `only` and `map`, all checked against
// the file; nullopt with the reason in `error` before anything is sent.
std::optional<std::vector<RestoreTarget>> restoreTargets(const Backup& backup,
                                                         const std::vector<std::string>& only,
                                                         const std::vector<std::string>& map,
                                                         std::string& error);

// The dry run: every value a restore would write, as Planned items; nothing is sent.
std::vector<RunItem> restorePlan(const std::vector<RestoreTarget>& targets);

// Reads the permanent settings of each target and compares them with the
// file; sends no write.
RunResult verify(Link& link, const ModuleRegistry& registry,
                 const std::vector<RestoreTarget>& targets, int retries,
                 const RunControl& control = {});

// Writes the permanent settings of each target and reads each one back. A
// write is sent once; a read that got no answer is asked again up to `retries`
// times. A run that stops (no answer, a lost line, a stop request) lists what
// it wrote.
RunResult restore(Link& link, const ModuleRegistry& registry,
                  const std::vector<RestoreTarget>& targets, int retries,
                  const RunControl& control = {});

// "kx:2.0 (KX44)": a module as the runs name it.
std::string moduleLabel(const ModuleName& module, const std::string& type);

}  // namespace korvel::backup
