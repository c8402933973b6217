#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ops/backup_values.h"
#include "ops/bus.h"
#include "status/status_facts.h"

namespace korvel::ops {

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
    Refused,      // restore: a value of the file the page could not send; nothing is written
};

struct RunItem {
    ItemKind kind = ItemKind::Saved;
    ModuleName module;  // where the value is read or written (after a map)
    ModuleType type = ModuleType::Unknown;
    std::string setting;    // "pwm", "device 5 power", ...; empty for a whole module
    bool permanent = true;  // backup reads both; verify and restore the permanent ones
    std::optional<int> fileValue, moduleValue;
    std::string reason;     // why skipped or not answered, in words
    bool readOnly = false;  // a setting that is only read back (a KX44's master/slave mode)
    // A file value the page could not send: what the page sends ("0..15"); empty otherwise.
    std::string allowed;
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
// `date` is the backup's, ISO 8601 in UTC.
BackupRun takeBackup(Bus& bus, const StatusFacts& status, const std::string& date);

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

// Whether a restore writes values of the file that the page could not send
// (a hand-edited "hfi": 99, or a value a module really held). Those are
// written only when the user said so.
enum class FileValues { PageRange, AnyValue };

// The dry run: every value a restore would write, as Planned items; nothing is
// sent. A value the page could not send carries `allowed`, and is Refused
// unless `values` is AnyValue.
std::vector<RunItem> restorePlan(const std::vector<RestoreTarget>& targets,
                                 FileValues values = FileValues::PageRange);

// Why a module of the file cannot be restored at its target on the system as
// `registry` has it now ("not present now", "is a KX-H now, ..."); empty when it can.
std::string targetMismatch(const ModuleRegistry& registry, const RestoreTarget& t);
// The Skipped item, with that reason, for a module of the file that cannot be
// restored at its target now; nullopt when it can.
std::optional<RunItem> skippedNow(const ModuleRegistry& registry, const RestoreTarget& t);

// Reads the permanent settings of each target and compares them with the
// file; sends no write.
RunResult verify(Bus& bus, const std::vector<RestoreTarget>& targets);

// Writes the permanent settings of each target and reads each one back. A
// write is sent once and settled by its read-back (a ZR32 module's too); a
// read that got no answer is asked again up to the bus's retries. A run that stops (no answer, a
// lost line, a stop request) lists what it wrote. With PageRange, a file that
// holds a value the page could not send is refused whole before the first
// exchange: the result lists those values as Refused.
RunResult restore(Bus& bus, const std::vector<RestoreTarget>& targets,
                  FileValues values = FileValues::PageRange);

// "kx:2.0 (KX44)": a module as the runs name it.
std::string moduleLabel(const ModuleName& module, ModuleType type);
// The module's name, "2.0" where it is a KX44's half.
std::string moduleNameOf(const ModuleName& module, ModuleType type);

}  // namespace korvel::ops
