#include "ctl/backup_restore.h"

#include <QDateTime>
#include <csignal>
#include <algorithm>
#include <map>

#include "ctl/kx_setting_table.h"
#include "ctl/stop_signal.h"
#include "kx/reply_decoding.h"
#include "status/status_format.h"

namespace korvel::ctl {

namespace {

std::int16_t kxTypeAt(const ModuleRegistry& registry, int item) {
    return registry.kxTypes[static_cast<std::size_t>(item)];
}

// Every module a backup covers, in the order of the status dialog.
std::vector<ModuleName> registeredModules(const ModuleRegistry& registry, const Terminal& term) {
    std::vector<ModuleName> modules;
    for (int n = 0; n < 16; ++n) {
        for (int item : {n, n + 16}) {
            const std::int16_t type = kxTypeAt(registry, item);
            if (type == kKxUnknown)
                term.message(moduleNameText({ModuleFamily::KX, item}) +
                             ": type unknown, not backed up");
            else if (type != kKxNone)
                modules.push_back({ModuleFamily::KX, item});
        }
    }
    for (int n = 0; n < 8; ++n)
        if (registry.zrPresent[static_cast<std::size_t>(n)] == 1)
            modules.push_back({ModuleFamily::ZR, n});
    return modules;
}

std::string firmwareOf(const StatusFacts& status, const ModuleName& m) {
    if (status.classic) return "";
    const StandardStatusTexts t = standardStatusTexts(status);
    const auto i = static_cast<std::size_t>(m.item);
    return m.family == ModuleFamily::KX ? t.kxVersion[i] : t.zrVersion[i];
}

void progress(const Terminal& term, const char* what, std::size_t n, std::size_t total,
              const std::string& module) {
    if (term.progress)
        term.message(std::string(what) + ": module " + std::to_string(n) + " of " +
                     std::to_string(total) + ", " + module);
}

bool readKxModule(Link& link, const ModuleRegistry& registry, ModuleBackup& m, const Terminal& term,
                  const std::string& label, int retries) {
    for (bool permanent : {false, true}) {
        ModuleSettings& into = permanent ? m.permanent : m.active;
        for (const KxSettingName* row : backupRows(kxPage(m.name.item, registry.kxTypes))) {
            const std::optional<int> v =
                readKxSetting(link, registry, m.name.item, *row, permanent, retries);
            if (!v) {
                term.message(label + ": no answer to " + row->name +
                             (permanent ? " (permanent)" : " (active)"));
                return false;
            }
            if (!pageCanShow(row->setting(), *v))
                term.message(label + ": " + row->name + (permanent ? " (permanent)" : " (active)") +
                             " is " + std::to_string(*v) +
                             ", a value the page cannot show; saved as reported");
            into.kx[row->name] = *v;
        }
    }
    return true;
}

bool readZrModule(Link& link, ModuleBackup& m, const Terminal& term, const std::string& label,
                  int retries) {
    for (bool permanent : {false, true}) {
        std::optional<ZrConfiguration> c = readZrConfiguration(link, m.name.item, permanent, retries);
        if (!c) {
            term.message(label + ": the " + (permanent ? "permanent" : "active") +
                         " configuration did not come in whole");
            return false;
        }
        (permanent ? m.permanent : m.active).zr = *c;
    }
    return true;
}

std::string typeOf(const ModuleRegistry& registry, const ModuleName& m) {
    if (m.family == ModuleFamily::ZR) return kZrType;
    return kxTypeName(kxTypeAt(registry, m.item));
}

std::string label(const ModuleName& m, const std::string& type) {
    return moduleNameText(m, type == "KX44") + " (" + type + ")";
}

// Why the module of the file cannot be restored at `target` now; empty when it can.
std::string mismatch(const ModuleRegistry& registry, const RestoreTarget& t) {
    const bool present = t.target.family == ModuleFamily::ZR
                             ? registry.zrPresent[static_cast<std::size_t>(t.target.item)] == 1
                             : kxTypeAt(registry, t.target.item) != kKxNone;
    if (!present) return "not present now";
    const std::string now = typeOf(registry, t.target);
    if (now != t.saved->type) return "is a " + now + " now, the file holds a " + t.saved->type;
    return {};
}

// How many settings a restore writes to one module; a KX44's master/slave
// mode is only read back.
std::size_t writtenSettings(const ModuleBackup& saved, const KxPageState& page) {
    if (saved.permanent.zr) return zrWriteSteps(*saved.permanent.zr).size();
    const std::vector<const KxSettingName*> rows = backupRows(page);
    return static_cast<std::size_t>(std::count_if(
        rows.begin(), rows.end(), [&](const KxSettingName* row) { return settableOn(*row, page); }));
}

// Why a run stopped, or nothing while it goes on.
std::string stopReason(const Link& link) {
    if (const int signal = stopSignal()) return signal == SIGINT ? "interrupted" : "terminated";
    if (!link.portOpen()) return "the line was lost";
    return {};
}

// What reached the modules so far, to be said when a restore stops.
class RestoreLedger {
  public:
    void begin(const std::string& module, std::size_t steps) {
        modules_.push_back({module, steps, {}});
    }
    void written(const std::string& setting) { modules_.back().written.push_back(setting); }

    void report(const Terminal& term, const std::vector<std::string>& notReached) const {
        std::string written, open;
        const auto add = [](std::string& list, const std::string& item) {
            list += (list.empty() ? "" : "; ") + item;
        };
        for (const Module& m : modules_) {
            if (m.steps == 0) continue;
            if (m.written.size() == m.steps)
                add(written, m.name + " (every setting)");
            else if (!m.written.empty())
                add(written, m.name + " " + join(m.written));
            if (m.written.size() < m.steps)
                add(open, m.name + (m.written.empty() ? " (every setting)" : " (the rest)"));
        }
        for (const std::string& m : notReached) add(open, m + " (every setting)");
        term.message("written: " + (written.empty() ? std::string("nothing") : written));
        term.message("not written: " + (open.empty() ? std::string("nothing") : open));
    }

  private:
    static std::string join(const std::vector<std::string>& names) {
        std::string out;
        for (const std::string& n : names) out += (out.empty() ? "" : ", ") + n;
        return out;
    }
    struct Module {
        std::string name;
        std::size_t steps;
        std::vector<std::string> written;
    };
    std::vector<Module> modules_;
};

// Writes each setting, then reads it back. False when the run must stop.
bool restoreKx(Link& link, const ModuleRegistry& registry, const RestoreTarget& t,
               const std::string& name, const Terminal& term, RestoreLedger& ledger, bool& equal,
               std::string& stopped, int retries) {
    const KxPageState page = kxPage(t.target.item, registry.kxTypes);
    for (const KxSettingName* r : backupRows(page)) {
        const KxSettingName& row = *r;
        const std::string settingName = row.name;
        const int value = t.saved->permanent.kx.at(settingName);
        if (stopped = stopReason(link); !stopped.empty()) return false;
        if (settableOn(row, page)) {
            const std::optional<int> confirmed =
                writeKxSetting(link, registry, t.target.item, row, value, true);
            // The Set went out whether or not its confirmation came: the read-back decides.
            if (link.portOpen()) ledger.written(settingName);
            if (!confirmed && !link.portOpen()) {
                stopped = "the line was lost at " + name + " " + settingName;
                return false;
            }
        }
        const std::optional<int> back =
            readKxSetting(link, registry, t.target.item, row, true, retries);
        if (!back) {
            stopped = "no answer from " + name + " reading back " + settingName;
            return false;
        }
        if (*back != value) {
            equal = false;
            term.message(name + ": " + settingName + " is " + std::to_string(*back) +
                         ", the file holds " + std::to_string(value));
        }
    }
    return true;
}

bool restoreZr(Link& link, const RestoreTarget& t, const std::string& name, const Terminal& term,
               RestoreLedger& ledger, bool& equal, std::string& stopped, int retries) {
    const ZrConfiguration& saved = *t.saved->permanent.zr;
    const std::vector<ZrWriteStep> steps = zrWriteSteps(saved);
    for (const ZrWriteStep& step : steps) {
        if (stopped = stopReason(link); !stopped.empty()) return false;
        if (!writeZrStep(link, t.target.item, step, true)) {
            stopped = "no answer from " + name + " to " + step.name;
            return false;
        }
        ledger.written(step.name);
    }
    const std::optional<ZrConfiguration> back =
        readZrConfiguration(link, t.target.item, true, retries);
    if (!back) {
        stopped = "the configuration of " + name + " did not come back whole";
        return false;
    }
    const std::vector<ZrWriteStep> now = zrWriteSteps(*back);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (now[i].value == steps[i].value) continue;
        equal = false;
        term.message(name + ": " + steps[i].name + " is " + std::to_string(now[i].value) +
                     ", the file holds " + std::to_string(steps[i].value));
    }
    return true;
}

}  // namespace

std::optional<Backup> takeBackup(Link& link, const ModuleRegistry& registry,
                                 const StatusFacts& status, const Terminal& term, int retries) {
    const SystemBoxes system = systemBoxes(status.system);
    Backup b{QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString(),
             system.system,
             system.protVer,
             system.sysVer,
             {}};
    const std::vector<ModuleName> modules = registeredModules(registry, term);
    for (std::size_t i = 0; i < modules.size(); ++i) {
        ModuleBackup m{
            modules[i], typeOf(registry, modules[i]), firmwareOf(status, modules[i]), {}, {}};
        const std::string name = label(m.name, m.type);
        progress(term, "backup", i + 1, modules.size(), name);
        if (const int signal = stopSignal()) {
            term.message(std::string("backup ") +
                         (signal == SIGINT ? "interrupted" : "terminated") + " at " + name);
            return std::nullopt;
        }
        const bool read = m.name.family == ModuleFamily::KX
                              ? readKxModule(link, registry, m, term, name, retries)
                              : readZrModule(link, m, term, name, retries);
        if (!read) return std::nullopt;
        b.modules.push_back(std::move(m));
    }
    return b;
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
        const bool wholeKx = name->family == ModuleFamily::KX && text.find('.') == std::string::npos;
        std::vector<const ModuleBackup*> found;
        for (const ModuleBackup& m : backup.modules)
            if (m.name == *name || (wholeKx && m.name == ModuleName{ModuleFamily::KX, name->item + 16}))
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
                        moduleNameText(targets[i].target, targets[i].saved->type == "KX44");
                return std::nullopt;
            }
    return targets;
}

void printRestorePlan(const std::vector<RestoreTarget>& targets, const Terminal& term) {
    for (const RestoreTarget& t : targets) {
        const std::string name = moduleNameText(t.target, t.saved->type == "KX44");
        const std::optional<std::int16_t> type = kxTypeFromName(t.saved->type);
        const KxPageState page = kxPageOfType(type.value_or(kKxNone));
        for (const KxSettingName* row : type ? backupRows(page) : std::vector<const KxSettingName*>{})
            term.out << name << ' ' << row->name << " = " << t.saved->permanent.kx.at(row->name)
                     << (settableOn(*row, page) ? "" : " (read back, not written)") << '\n';
        if (t.saved->permanent.zr)
            for (const ZrWriteStep& s : zrWriteSteps(*t.saved->permanent.zr))
                term.out << name << ' ' << s.name << " = " << s.value << '\n';
    }
}

RestoreResult restore(Link& link, const ModuleRegistry& registry,
                      const std::vector<RestoreTarget>& targets, const Terminal& term,
                      int retries) {
    RestoreResult result;
    RestoreLedger ledger;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const RestoreTarget& t = targets[i];
        const std::string name = label(t.target, t.saved->type);
        progress(term, "restore", i + 1, targets.size(), name);
        if (const std::string why = mismatch(registry, t); !why.empty()) {
            term.message(name + ": " + why + "; skipped");
            result.skipped = true;
            ledger.begin(name, 1);
            continue;
        }
        ledger.begin(name, writtenSettings(*t.saved, kxPage(t.target.item, registry.kxTypes)));
        bool equal = true;
        std::string stopped;
        const bool goesOn =
            t.target.family == ModuleFamily::KX
                ? restoreKx(link, registry, t, name, term, ledger, equal, stopped, retries)
                : restoreZr(link, t, name, term, ledger, equal, stopped, retries);
        result.equal = result.equal && equal;
        if (!goesOn) {
            std::vector<std::string> notReached;
            for (std::size_t j = i + 1; j < targets.size(); ++j)
                notReached.push_back(label(targets[j].target, targets[j].saved->type));
            term.message("restore stopped: " + stopped);
            ledger.report(term, notReached);
            result.stopped = true;
            result.signal = stopSignal();
            return result;
        }
    }
    // A restore that skipped modules says what it did put back.
    if (result.skipped) ledger.report(term, {});
    return result;
}

}  // namespace korvel::ctl
