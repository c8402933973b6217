#include "ops/system_runs.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "ops/kx_names.h"
#include "ops/module_reads.h"
#include "status/status_format.h"
#include "status/system_query.h"
#include "zr/zr_commands.h"
#include "zr/zr_format.h"

namespace korvel::ops {

namespace {

std::int16_t kxTypeAt(const ModuleRegistry& registry, int item) {
    return registry.kxTypes[static_cast<std::size_t>(item)];
}

ModuleType typeOf(const ModuleRegistry& registry, const ModuleName& m) {
    if (m.family == ModuleFamily::ZR) return ModuleType::Zr32;
    return kxModuleType(kxTypeAt(registry, m.item)).value_or(ModuleType::Unknown);
}

std::string firmwareOf(const StatusFacts& status, const ModuleName& m) {
    if (status.classic) return "";
    for (const ModuleFact& f : status.modules)
        if (f.family == m.family &&
            (m.family == ModuleFamily::KX ? f.kxIndex() : f.number) == m.item)
            return factVersionText(f);
    return "";
}

const char* permanence(bool permanent) {
    return permanent ? " (permanent)" : " (active)";
}

// Counts the steps of a run and tells where it is; asks, between exchanges,
// whether the run must stop.
class Steps {
  public:
    Steps(Bus& bus, std::size_t total) : bus_(bus), total_(total) {}

    // Before a step's first exchange: the reason to stop, or empty to go on.
    std::string next(const std::string& module, const std::string& setting) {
        if (std::string why = bus_.stopReason(); !why.empty()) return why;
        if (!bus_.link().portOpen()) return "the line was lost";
        if (bus_.progress) bus_.progress({done_, total_, module, setting});
        ++done_;
        return {};
    }
    void finish() {
        if (bus_.progress) bus_.progress({total_, total_, {}, {}});
    }

  private:
    Bus& bus_;
    std::size_t total_;
    std::size_t done_ = 0;
};

RunItem item(ItemKind kind, const ModuleName& module, ModuleType type,
             const std::string& setting = {}) {
    RunItem i;
    i.kind = kind;
    i.module = module;
    i.type = type;
    i.setting = setting;
    return i;
}

// The modules a backup covers, in the order of the status dialog, and those it cannot.
struct Covered {
    std::vector<ModuleName> modules;
    std::vector<RunItem> missing;
};

Covered coveredModules(const ModuleRegistry& registry, const StatusFacts& status) {
    Covered c;
    // A module whose status answer was lost may hold settings: the backup is not whole.
    for (const ModuleFact& f : status.modules) {
        if (f.answered || f.family == ModuleFamily::QH || f.family == ModuleFamily::VG) continue;
        const ModuleName name{f.family, f.family == ModuleFamily::KX ? f.kxIndex() : f.number};
        RunItem i = item(ItemKind::NotAnswered, name, ModuleType::Unknown);
        i.reason = "did not answer the status request";
        c.missing.push_back(i);
    }
    for (int n = 0; n < 16; ++n) {
        for (int item_ : {n, n + 16}) {
            const std::int16_t type = kxTypeAt(registry, item_);
            if (type == kKxUnknown) {
                RunItem i = item(ItemKind::Skipped, {ModuleFamily::KX, item_}, ModuleType::Unknown);
                i.reason = "type unknown";
                c.missing.push_back(i);
            } else if (type != kKxNone) {
                c.modules.push_back({ModuleFamily::KX, item_});
            }
        }
    }
    for (int n = 0; n < 8; ++n)
        if (registry.zrPresent[static_cast<std::size_t>(n)] == 1)
            c.modules.push_back({ModuleFamily::ZR, n});
    return c;
}

}  // namespace

std::string targetMismatch(const ModuleRegistry& registry, const RestoreTarget& t) {
    const bool present = t.target.family == ModuleFamily::ZR
                             ? registry.zrPresent[static_cast<std::size_t>(t.target.item)] == 1
                             : kxTypeAt(registry, t.target.item) != kKxNone;
    if (!present) return "not present now";
    const ModuleType now = typeOf(registry, t.target);
    if (now != t.saved->type)
        return "is a " + std::string(moduleTypeName(now)) + " now, the file holds a " +
               std::string(moduleTypeName(t.saved->type));
    return {};
}

namespace {

// The permanent settings of a file's module in writing order, with whether
// each is written or only read back.
struct Setting {
    std::string name;
    int value;
    bool readOnly;
    const KxSettingName* kxRow = nullptr;
    const ZrWriteStep* zrStep = nullptr;
};

std::vector<Setting> savedSettings(const ModuleBackup& saved, std::vector<ZrWriteStep>& zrSteps) {
    std::vector<Setting> out;
    if (saved.permanent.zr) {
        zrSteps = zrWriteSteps(*saved.permanent.zr);
        for (const ZrWriteStep& s : zrSteps) out.push_back({s.name, s.value, false, nullptr, &s});
        return out;
    }
    if (saved.type == ModuleType::Zr32 || saved.type == ModuleType::Unknown) return out;
    const KxSelection module = singleModule(saved.type);
    for (const KxSettingName* row : backupRows(module))
        out.push_back(
            {row->name, saved.permanent.kx.at(row->name), !settableOn(*row, module), row});
    return out;
}

// What the page sends for a setting to be written, "0..15", when the file's
// value is not among it; empty when the page could send the value.
std::string outsidePage(const Setting& s) {
    if (s.readOnly) return {};
    if (s.kxRow) return validKxValue(*s.kxRow, s.value) ? "" : acceptedValues(*s.kxRow);
    const int maximum = s.zrStep->power ? static_cast<int>(kZrPowerNames.size()) - 1 : kZrMaxTime;
    return s.value >= 0 && s.value <= maximum ? "" : "0.." + std::to_string(maximum);
}

std::size_t writesOf(const std::vector<Setting>& settings) {
    return static_cast<std::size_t>(std::count_if(settings.begin(), settings.end(),
                                                  [](const Setting& s) { return !s.readOnly; }));
}

// The file's value against the module's: Equal (or Written), or Different.
RunItem compared(ItemKind equalKind, const RestoreTarget& t, const Setting& s, int now) {
    RunItem i =
        item(now == s.value ? equalKind : ItemKind::Different, t.target, t.saved->type, s.name);
    i.fileValue = s.value;
    i.moduleValue = now;
    i.readOnly = s.readOnly;
    return i;
}

void stopAt(RunResult& result, const std::string& why) {
    if (result.stopped.empty()) result.stopped = why;
}

// How many exchanges-carrying steps a verify or restore of `targets` takes.
std::size_t stepsOf(const std::vector<RestoreTarget>& targets, bool restore) {
    std::size_t total = 0;
    for (const RestoreTarget& t : targets) {
        std::vector<ZrWriteStep> zr;
        const std::vector<Setting> settings = savedSettings(*t.saved, zr);
        if (t.saved->permanent.zr)
            total += restore ? settings.size() + 1 : 1;
        else
            total += settings.size();
    }
    return total;
}

// Reads a file module's permanent settings from `t.target` and compares them
// with the file; with `write` each setting is first written. False when the
// run must stop.
bool runModule(Bus& bus, const RestoreTarget& t, bool write, Steps& steps, RunResult& result) {
    Link& link = bus.link();
    const ModuleRegistry& registry = bus.registry();
    const std::string name = moduleLabel(t.target, t.saved->type);
    std::vector<ZrWriteStep> zrSteps;
    const std::vector<Setting> settings = savedSettings(*t.saved, zrSteps);
    const ItemKind equalKind = write ? ItemKind::Written : ItemKind::Equal;
    const auto notAnswered = [&](const std::string& setting, const std::string& why) {
        RunItem i = item(ItemKind::NotAnswered, t.target, t.saved->type, setting);
        i.reason = why;
        result.items.push_back(i);
    };
    if (t.saved->permanent.zr) {
        std::size_t sent = 0;
        for (const Setting& s : settings) {
            if (!write) break;
            if (std::string why = steps.next(name, s.name); !why.empty()) {
                stopAt(result, why);
                break;
            }
            // A lost acknowledgement leaves the write to the read-back to settle.
            writeZrStep(link, {t.target.item}, *s.zrStep, true, bus.retries);
            if (!link.portOpen()) {
                stopAt(result, "the line was lost at " + name + " " + s.name);
                break;
            }
            ++sent;
        }
        std::optional<ZrConfiguration> back;
        if (result.stopped.empty()) {
            if (std::string why = steps.next(name, "configuration"); !why.empty())
                stopAt(result, why);
            else
                back = readZrValues(link, t.target.item, true, bus.retries);
        }
        if (!back) {
            // What went out before the stop was not read back.
            for (std::size_t i = 0; i < sent; ++i) {
                RunItem it = item(ItemKind::Sent, t.target, t.saved->type, settings[i].name);
                it.fileValue = settings[i].value;
                result.items.push_back(it);
            }
            if (!result.stopped.empty()) return false;
            notAnswered("", "the configuration did not come in whole");
            if (write) stopAt(result, "the configuration of " + name + " did not come back whole");
            return !write && link.portOpen();
        }
        for (const Setting& s : settings)
            result.items.push_back(compared(equalKind, t, s, zrValueOf(*back, *s.zrStep)));
        return true;
    }
    for (const Setting& s : settings) {
        if (std::string why = steps.next(name, s.name); !why.empty()) {
            stopAt(result, why);
            return false;
        }
        bool sent = false;
        if (write && !s.readOnly) {
            const std::optional<int> confirmed =
                writeKxSetting(link, registry, t.target.item, *s.kxRow, s.value, true, bus.retries);
            // The Set went out whether or not its confirmation came: the read-back decides.
            sent = link.portOpen();
            if (!confirmed && !sent) {
                stopAt(result, "the line was lost at " + name + " " + s.name);
                return false;
            }
        }
        const std::optional<int> back =
            readKxSetting(link, registry, t.target.item, *s.kxRow, true, bus.retries);
        if (!back) {
            if (sent) {
                RunItem it = item(ItemKind::Sent, t.target, t.saved->type, s.name);
                it.fileValue = s.value;
                result.items.push_back(it);
            }
            notAnswered(s.name, "no answer");
            // A restore stops at a silent module; a verify goes on to the next one.
            if (write) stopAt(result, "no answer from " + name + " reading back " + s.name);
            return !write && link.portOpen();
        }
        result.items.push_back(compared(equalKind, t, s, *back));
    }
    return true;
}

std::vector<PlannedModule> plannedModules(const std::vector<RestoreTarget>& targets) {
    std::vector<PlannedModule> planned;
    for (const RestoreTarget& t : targets) {
        std::vector<ZrWriteStep> zr;
        planned.push_back(
            {moduleLabel(t.target, t.saved->type), writesOf(savedSettings(*t.saved, zr))});
    }
    return planned;
}

}  // namespace

std::optional<RunItem> skippedNow(const ModuleRegistry& registry, const RestoreTarget& t) {
    const std::string why = targetMismatch(registry, t);
    if (why.empty()) return std::nullopt;
    RunItem i = item(ItemKind::Skipped, t.target, t.saved->type);
    i.reason = why;
    return i;
}

namespace {

RunResult runTargets(Bus& bus, const std::vector<RestoreTarget>& targets, bool write) {
    RunResult result;
    Steps steps(bus, stepsOf(targets, write));
    if (write) result.planned = plannedModules(targets);
    for (const RestoreTarget& t : targets) {
        if (std::optional<RunItem> skipped = skippedNow(bus.registry(), t)) {
            result.items.push_back(std::move(*skipped));
            continue;
        }
        if (!runModule(bus, t, write, steps, result)) {
            // An exchange cut short by a stop request ends a step as a lost answer would.
            if (std::string why = bus.stopReason(); !why.empty()) result.stopped = why;
            stopAt(result, "the line was lost");
            return result;
        }
    }
    steps.finish();
    return result;
}

std::string join(const std::vector<std::string>& parts, const char* separator) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : separator) + p;
    return out;
}

bool reachedModule(const RunItem& i) {
    return i.kind == ItemKind::Sent || i.kind == ItemKind::Written ||
           (i.kind == ItemKind::Different && !i.readOnly);
}

// Per planned module, the settings that went out to it.
std::vector<std::vector<std::string>> writtenPerModule(const RunResult& r) {
    std::vector<std::vector<std::string>> written(r.planned.size());
    for (const RunItem& i : r.items) {
        if (!reachedModule(i)) continue;
        const std::string label = moduleLabel(i.module, i.type);
        for (std::size_t m = 0; m < r.planned.size(); ++m)
            if (r.planned[m].label == label) written[m].push_back(i.setting);
    }
    return written;
}

}  // namespace

std::string moduleNameOf(const ModuleName& module, ModuleType type) {
    return moduleNameText(module, type == ModuleType::Kx44);
}

std::string moduleLabel(const ModuleName& module, ModuleType type) {
    const std::string name = moduleNameOf(module, type);
    return type == ModuleType::Unknown ? name
                                       : name + " (" + std::string(moduleTypeName(type)) + ")";
}

bool RunResult::whole() const {
    return stopped.empty() && std::all_of(items.begin(), items.end(), [](const RunItem& i) {
               return i.kind == ItemKind::Saved || i.kind == ItemKind::Equal ||
                      i.kind == ItemKind::Written || i.kind == ItemKind::Planned;
           });
}

std::string RunResult::writtenSummary() const {
    const std::vector<std::vector<std::string>> written = writtenPerModule(*this);
    std::vector<std::string> parts;
    for (std::size_t m = 0; m < planned.size(); ++m) {
        if (written[m].empty() || planned[m].writes == 0) continue;
        parts.push_back(planned[m].label + (written[m].size() >= planned[m].writes
                                                ? " (every setting)"
                                                : " " + join(written[m], ", ")));
    }
    return parts.empty() ? "nothing" : join(parts, "; ");
}

std::string RunResult::notWrittenSummary() const {
    const std::vector<std::vector<std::string>> written = writtenPerModule(*this);
    std::vector<std::string> parts;
    for (std::size_t m = 0; m < planned.size(); ++m) {
        if (written[m].size() >= planned[m].writes && planned[m].writes > 0) continue;
        parts.push_back(planned[m].label +
                        (written[m].empty() ? " (every setting)" : " (the rest)"));
    }
    return parts.empty() ? "nothing" : join(parts, "; ");
}

BackupRun takeBackup(Bus& bus, const StatusFacts& status, const std::string& date) {
    Link& link = bus.link();
    const ModuleRegistry& registry = bus.registry();
    BackupRun run;
    RunResult& result = run.result;
    // The file keeps the system's versions as the status dialog spells them.
    const SystemTexts system = systemTexts(status.system);
    Backup b{date, system.system, system.protVer, system.sysVer, {}};
    Covered covered = coveredModules(registry, status);
    result.items = covered.missing;
    std::size_t total = 0;
    for (const ModuleName& m : covered.modules)
        total += m.family == ModuleFamily::ZR
                     ? 2
                     : 2 * backupRows(kxSelection(m.item, registry.kxTypes)).size();
    Steps steps(bus, total);
    for (const ModuleName& name : covered.modules) {
        ModuleBackup m{name, typeOf(registry, name), firmwareOf(status, name), {}, {}};
        const std::string label = moduleLabel(m.name, m.type);
        const auto notAnswered = [&](const std::string& setting, bool permanent) {
            // A read cut short by a stop request was not left unanswered.
            if (std::string why = bus.stopReason(); !why.empty())
                return stopAt(result, why + " at " + label);
            RunItem i = item(ItemKind::NotAnswered, name, m.type, setting);
            i.permanent = permanent;
            i.reason = setting.empty()
                           ? std::string("the ") + (permanent ? "permanent" : "active") +
                                 " configuration did not come in whole"
                           : "no answer";
            result.items.push_back(i);
            stopAt(result, "no answer from " + label + " to " +
                               (setting.empty() ? "the configuration" : setting) +
                               permanence(permanent));
        };
        for (bool permanent : {false, true}) {
            ModuleSettings& into = permanent ? m.permanent : m.active;
            if (name.family == ModuleFamily::ZR) {
                if (std::string why = steps.next(
                        label, permanent ? "permanent configuration" : "active configuration");
                    !why.empty()) {
                    stopAt(result, why + " at " + label);
                    return run;
                }
                into.zr = readZrValues(link, name.item, permanent, bus.retries);
                if (!into.zr) {
                    notAnswered("", permanent);
                    return run;
                }
                continue;
            }
            for (const KxSettingName* row : backupRows(kxSelection(name.item, registry.kxTypes))) {
                if (std::string why = steps.next(label, row->name); !why.empty()) {
                    stopAt(result, why + " at " + label);
                    return run;
                }
                const std::optional<int> v =
                    readKxSetting(link, registry, name.item, *row, permanent, bus.retries);
                if (!v) {
                    notAnswered(row->name, permanent);
                    return run;
                }
                if (!pageCanShow(row->setting(), *v)) {
                    RunItem i = item(ItemKind::Saved, name, m.type, row->name);
                    i.permanent = permanent;
                    i.moduleValue = *v;
                    i.reason = "a value the page cannot show; saved as reported";
                    result.items.push_back(i);
                }
                into.kx[row->name] = *v;
            }
        }
        result.items.push_back(item(ItemKind::Saved, name, m.type));
        b.modules.push_back(std::move(m));
    }
    steps.finish();
    // A module of unknown type is said and left out; one that did not answer
    // leaves the backup unwritten.
    if (std::none_of(result.items.begin(), result.items.end(),
                     [](const RunItem& i) { return i.kind == ItemKind::NotAnswered; }))
        run.backup = std::move(b);
    return run;
}

std::optional<std::vector<RestoreTarget>> restoreTargets(const Backup& backup,
                                                         const std::vector<std::string>& only,
                                                         const std::vector<std::string>& map,
                                                         std::string& error) {
    // The modules of the file a name stands for: "kx:5" is both halves of a KX44.
    const auto inFile = [&](const std::string& text) -> std::vector<const ModuleBackup*> {
        const std::optional<ModuleName> name = parseModuleName(text);
        if (!name) {
            error = "\"" + text + "\" is no module name like kx:2, kx:2.1 or zr:1";
            return {};
        }
        const bool wholeKx =
            name->family == ModuleFamily::KX && text.find('.') == std::string::npos;
        std::vector<const ModuleBackup*> found;
        for (const ModuleBackup& m : backup.modules)
            if (m.name == *name ||
                (wholeKx && m.name == ModuleName{ModuleFamily::KX, name->item + 16}))
                found.push_back(&m);
        if (found.empty()) error = text + " is not in the backup";
        return found;
    };
    std::map<const ModuleBackup*, ModuleName> moved;
    for (const std::string& pair : map) {
        const std::size_t eq = pair.find('=');
        const std::optional<ModuleName> to =
            eq == std::string::npos ? std::nullopt : parseModuleName(pair.substr(eq + 1));
        if (!to) {
            error = "--map takes OLD=NEW, like kx:3=kx:7, not \"" + pair + "\"";
            return std::nullopt;
        }
        const std::vector<const ModuleBackup*> from = inFile(pair.substr(0, eq));
        if (from.empty()) return std::nullopt;
        if (from.front()->name.family != to->family) {
            error = "--map " + pair + ": a module keeps its family";
            return std::nullopt;
        }
        // A whole KX44 moves with both halves; a half moves to the half it names.
        for (const ModuleBackup* m : from) {
            if (moved.contains(m)) {
                error = "--map " + pair + ": " + moduleNameOf(m->name, m->type) +
                        " is mapped already; give one --map for it";
                return std::nullopt;
            }
            ModuleName target = *to;
            if (from.size() > 1 && m->name.item >= 16) target.item = to->item % 16 + 16;
            moved[m] = target;
        }
    }
    std::vector<RestoreTarget> targets;
    for (const std::string& text : only) {
        const std::vector<const ModuleBackup*> found = inFile(text);
        if (found.empty()) return std::nullopt;
        for (const ModuleBackup* m : found)
            if (std::none_of(targets.begin(), targets.end(),
                             [&](const RestoreTarget& t) { return t.saved == m; }))
                targets.push_back({m, m->name});
    }
    if (only.empty())
        for (const ModuleBackup& m : backup.modules) targets.push_back({&m, m.name});
    for (RestoreTarget& t : targets)
        if (auto it = moved.find(t.saved); it != moved.end()) t.target = it->second;
    // A module that receives another's settings is written from that source only.
    std::erase_if(targets, [&](const RestoreTarget& t) {
        return !moved.contains(t.saved) &&
               std::any_of(moved.begin(), moved.end(),
                           [&](const auto& m) { return m.second == t.target; });
    });
    for (std::size_t i = 0; i < targets.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (targets[i].target == targets[j].target) {
                error = "--map puts two modules of the file on " +
                        moduleNameOf(targets[i].target, targets[i].saved->type);
                return std::nullopt;
            }
    return targets;
}

std::vector<RunItem> restorePlan(const std::vector<RestoreTarget>& targets, FileValues values) {
    std::vector<RunItem> plan;
    for (const RestoreTarget& t : targets) {
        std::vector<ZrWriteStep> zr;
        for (const Setting& s : savedSettings(*t.saved, zr)) {
            RunItem i = item(ItemKind::Planned, t.target, t.saved->type, s.name);
            i.fileValue = s.value;
            i.readOnly = s.readOnly;
            i.allowed = outsidePage(s);
            if (!i.allowed.empty() && values == FileValues::PageRange) i.kind = ItemKind::Refused;
            plan.push_back(i);
        }
    }
    return plan;
}

RunResult verify(Bus& bus, const std::vector<RestoreTarget>& targets) {
    return runTargets(bus, targets, false);
}

RunResult restore(Bus& bus, const std::vector<RestoreTarget>& targets, FileValues values) {
    RunResult refused;
    std::ranges::copy_if(restorePlan(targets, values), std::back_inserter(refused.items),
                         [](const RunItem& i) { return i.kind == ItemKind::Refused; });
    if (refused.items.empty()) return runTargets(bus, targets, true);
    refused.stopped = "the file holds values the page could not send";
    refused.planned = plannedModules(targets);
    return refused;
}

}  // namespace korvel::ops
