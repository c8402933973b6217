#include "ctl/backup_restore.h"

#include <QDateTime>
#include <map>

#include "ctl/kx_setting_table.h"
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
                  const std::string& label) {
    for (bool permanent : {false, true}) {
        ModuleSettings& into = permanent ? m.permanent : m.active;
        for (const KxSettingName* row : backupRows(kxPage(m.name.item, registry.kxTypes))) {
            const std::optional<int> v =
                readKxSetting(link, registry, m.name.item, *row, permanent);
            if (!v) {
                term.message(label + ": no answer to " + row->name +
                             (permanent ? " (permanent)" : " (active)"));
                return false;
            }
            into.kx[row->name] = *v;
        }
    }
    return true;
}

bool readZrModule(Link& link, ModuleBackup& m, const Terminal& term, const std::string& label) {
    for (bool permanent : {false, true}) {
        std::optional<ZrConfiguration> c = readZrConfiguration(link, m.name.item, permanent);
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

// Lists what a module got before it stopped.
std::string writtenSoFar(const std::vector<std::string>& names) {
    if (names.empty()) return "nothing was written";
    std::string out = "written: ";
    for (std::size_t i = 0; i < names.size(); ++i) out += (i ? ", " : "") + names[i];
    return out;
}

// Writes each setting, then reads it back; stops when the module falls silent.
bool restoreKx(Link& link, const ModuleRegistry& registry, const RestoreTarget& t,
               const std::string& name, const Terminal& term, bool& equal) {
    const KxPageState page = kxPage(t.target.item, registry.kxTypes);
    std::vector<std::string> written;
    for (const KxSettingName* r : backupRows(page)) {
        const KxSettingName& row = *r;
        const std::string settingName = row.name;
        const int value = t.saved->permanent.kx.at(settingName);
        if (settableOn(row, page)) {
            if (!writeKxSetting(link, registry, t.target.item, row, value, true)) {
                term.message(name + ": no answer to " + settingName + "; " + writtenSoFar(written));
                return false;
            }
            written.push_back(settingName);
        }
        const std::optional<int> back = readKxSetting(link, registry, t.target.item, row, true);
        if (!back) {
            term.message(name + ": no answer reading back " + settingName + "; " +
                         writtenSoFar(written));
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
               bool& equal) {
    const ZrConfiguration& saved = *t.saved->permanent.zr;
    const std::vector<ZrWriteStep> steps = zrWriteSteps(saved);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (!writeZrStep(link, t.target.item, steps[i], true)) {
            term.message(name + ": no answer to " + steps[i].name + "; written: " +
                         (i == 0 ? "nothing" : steps[0].name + " through " + steps[i - 1].name));
            return false;
        }
    }
    const std::optional<ZrConfiguration> back = readZrConfiguration(link, t.target.item, true);
    if (!back) {
        term.message(name + ": written, but the configuration did not come back whole");
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
                                 const StatusFacts& status, const Terminal& term) {
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
        const bool read = m.name.family == ModuleFamily::KX
                              ? readKxModule(link, registry, m, term, name)
                              : readZrModule(link, m, term, name);
        if (!read) return std::nullopt;
        b.modules.push_back(std::move(m));
    }
    return b;
}

std::optional<std::vector<RestoreTarget>> restoreTargets(const Backup& backup,
                                                         const std::vector<std::string>& only,
                                                         const std::vector<std::string>& map,
                                                         std::string& error) {
    const auto inFile = [&](const std::string& text) -> const ModuleBackup* {
        const std::optional<ModuleName> name = parseModuleName(text);
        if (!name) {
            error = "\"" + text + "\" is no module name like kx:2, kx:2.1 or zr:1";
            return nullptr;
        }
        for (const ModuleBackup& m : backup.modules)
            if (m.name == *name) return &m;
        error = text + " is not in the backup";
        return nullptr;
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
        const ModuleBackup* from = inFile(pair.substr(0, eq));
        if (!from) return std::nullopt;
        if (from->name.family != to->family) {
            error = "--map " + pair + ": a module keeps its family";
            return std::nullopt;
        }
        moved[from] = *to;
    }
    std::vector<RestoreTarget> targets;
    for (const std::string& text : only) {
        const ModuleBackup* m = inFile(text);
        if (!m) return std::nullopt;
        targets.push_back({m, m->name});
    }
    if (only.empty())
        for (const ModuleBackup& m : backup.modules) targets.push_back({&m, m.name});
    for (RestoreTarget& t : targets)
        if (auto it = moved.find(t.saved); it != moved.end()) t.target = it->second;
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

bool restore(Link& link, const ModuleRegistry& registry, const std::vector<RestoreTarget>& targets,
             const Terminal& term) {
    bool whole = true;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const RestoreTarget& t = targets[i];
        const std::string name = label(t.target, t.saved->type);
        progress(term, "restore", i + 1, targets.size(), name);
        if (const std::string why = mismatch(registry, t); !why.empty()) {
            term.message(name + ": " + why + "; skipped");
            whole = false;
            continue;
        }
        bool equal = true;
        const bool answered = t.target.family == ModuleFamily::KX
                                  ? restoreKx(link, registry, t, name, term, equal)
                                  : restoreZr(link, t, name, term, equal);
        if (!answered) return false;
        whole = whole && equal;
    }
    return whole;
}

}  // namespace korvel::ctl
