// kx get, set, erase and ms-check: the KX page's buttons from a terminal.
#include <QJsonArray>
#include <map>

#include "backup/kx_setting_table.h"
#include "backup/module_io.h"
#include "backup/module_name.h"
#include "ctl/command.h"
#include "kx/commands.h"
#include "kx/master_slave_check.h"
#include "ui_model/kx_routines.h"

namespace korvel::ctl {

using namespace korvel::backup;

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

void checkOffered(const KxSettingName& row, const KxPageState& page, bool set) {
    if (!offeredOn(row, page))
        throw UsageError{std::string(row.name) + " is not a setting of a " + page.kxTypeCaption};
    if (set && !settableOn(row, page))
        throw UsageError{std::string(row.name) + " of a " + page.kxTypeCaption +
                         " can be read, not set"};
}

// A single module's item data, or a group's code.
std::int32_t kxTarget(const QString& text) {
    static const std::map<QString, std::int32_t> groups{{"ALL_KXXX", kAllKXxx},
                                                        {"ALL_KX44", kAllKX44},
                                                        {"ALL_KX-H", kAllKXH},
                                                        {"ALL_WOBE", kAllWobe}};
    if (auto it = groups.find(text.toUpper()); it != groups.end()) return it->second;
    if (const std::optional<int> item = parseKxItem(str(text))) return *item;
    throw UsageError{"no KX module \"" + str(text) +
                     "\": give 0..15, 2.0 or 2.1 for the halves of a KX44, or a group "
                     "All_KXxx, All_KX44, All_KX-H, All_WOBE"};
}

std::string kxName(const ModuleRegistry& registry, int m) {
    return moduleNameText({ModuleFamily::KX, m},
                          registry.kxTypes[static_cast<std::size_t>(m)] == kKx44);
}

}  // namespace

// The setting a name and the selector options stand for.
const KxSettingName& settingArgument(const QCommandLineParser& parser, const QString& name) {
    std::string full = str(name);
    if (parser.isSet("on")) full += " --on";
    if (parser.isSet("bank") && parser.value("bank") != "0")
        full += " --bank " + str(parser.value("bank"));
    if (parser.isSet("loop") && parser.value("loop").toUpper() != "A")
        full += " --loop " + str(parser.value("loop").toUpper());
    if (const KxSettingName* row = findKxSetting(full)) return *row;
    std::string known;
    for (const KxSettingName& r : kxSettingRows())
        known += (known.empty() ? "" : ", ") + std::string(r.name);
    throw UsageError{"no KX setting \"" + full + "\"; there are: " + known};
}

int Command::kxGet(const QStringList& args) {
    if (args.size() != 1 && args.size() != 2)
        throw UsageError{"usage: korvelctl kx get MODULE [SETTING] [--permanent]"};
    const std::int32_t target = kxTarget(args[0]);
    if (target < 0) throw UsageError{"kx get reads one module, not a group"};
    const KxSettingName* one = args.size() == 2 ? &settingArgument(parser_, args[1]) : nullptr;
    OpenLine guard{link_};
    if (!openWithStatus()) return stopped(kExitFailed);
    const std::int16_t type = registry_.kxTypes[static_cast<std::size_t>(target)];
    if (type == kKxNone) return notRegistered("KX", args[0], {ModuleFamily::KX, target});
    const KxPageState page = kxPage(target, registry_.kxTypes);
    if (one) checkOffered(*one, page, false);
    const bool permanent = isSet("permanent");
    const std::string name = kxName(registry_, target);
    QJsonObject settings;
    int exit = kExitOk;
    for (const KxSettingName& row : kxSettingRows()) {
        if (one ? &row != one : !offeredOn(row, page)) continue;
        const std::optional<int> v =
            readKxSetting(link_, registry_, target, row, permanent, retries_);
        if (!link_.portOpen()) return kExitFailed;
        settings.insert(row.name, v ? QJsonValue(*v) : QJsonValue());
        if (!v) {
            exit =
                out_.fail(ErrorCode::NoAnswer, name + ": no answer to " + row.name, name, row.name);
            continue;
        }
        out_.line(one ? std::to_string(*v) : std::string(row.name) + " = " + std::to_string(*v));
    }
    out_.result.insert("module", q(name));
    out_.result.insert("type", q(page.kxTypeCaption));
    out_.result.insert("permanent", permanent);
    out_.result.insert("settings", settings);
    return exit;
}

int Command::kxSet(const QStringList& args) {
    expectArguments(args, 3, "kx set MODULE SETTING VALUE [--permanent]");
    const std::int32_t target = kxTarget(args[0]);
    const KxSettingName& row = settingArgument(parser_, args[1]);
    std::string error;
    const std::optional<int> value = parseKxValue(row, str(args[2]), error);
    if (!value) throw UsageError{error};
    // A group's page is known without asking the system: refuse before the first frame.
    if (target < 0) checkOffered(row, kxPage(target, registry_.kxTypes), true);
    OpenLine guard{link_};
    if (!openWithStatus()) return stopped(kExitFailed);
    const std::string given = str(args[0]);
    if (target >= 0 && registry_.kxTypes[static_cast<std::size_t>(target)] == kKxNone)
        return notRegistered("KX", args[0], {ModuleFamily::KX, target});
    if (target < 0 && kxTargets(target, registry_.kxTypes).empty())
        return out_.fail(ErrorCode::NotRegistered,
                         "no module of the group " + given + " answered the status request");
    // The page decides what a selection offers; an unknown module shows every panel.
    checkOffered(row, kxPage(target, registry_.kxTypes), true);
    const bool permanent = isSet("permanent");
    const std::optional<int> confirmed =
        writeKxSetting(link_, registry_, target, row, *value, permanent);
    if (!link_.portOpen()) return kExitFailed;
    // A group's answers are not decoded (as on the page): each module is read
    // back. A write is never sent twice: a missing confirmation is settled by a read.
    std::vector<std::pair<int, std::optional<int>>> results;
    if (target >= 0)
        results.push_back({target, confirmed ? confirmed
                                             : readKxSetting(link_, registry_, target, row,
                                                             permanent, retries_)});
    else
        for (int m : kxTargets(target, registry_.kxTypes))
            results.push_back({m, readKxSetting(link_, registry_, m, row, permanent, retries_)});
    int exit = kExitOk;
    QJsonArray modules;
    for (const auto& [m, v] : results) {
        const std::string name = kxName(registry_, m);
        modules.append(QJsonObject{{"module", q(name)},
                                   {"reported", v ? QJsonValue(*v) : QJsonValue()},
                                   {"confirmed", v == value}});
        if (v == value) {
            out_.line(name + ' ' + row.name + " = " + std::to_string(*value) + " confirmed");
            continue;
        }
        exit =
            out_.fail(ErrorCode::NotConfirmed,
                      name + ' ' + row.name + ": not confirmed" +
                          (v ? " (the module reports " + std::to_string(*v) + ")" : " (no answer)"),
                      name, row.name);
    }
    out_.result.insert("setting", row.name);
    out_.result.insert("value", *value);
    out_.result.insert("permanent", permanent);
    out_.result.insert("modules", modules);
    // A module whose status answer was lost may belong to the group: not set.
    if (target < 0) {
        std::erase_if(lost_, [](const std::string& m) { return !m.starts_with("kx:"); });
        if (reportLost("; not set")) exit = kExitFailed;
    }
    return exit;
}

int Command::kxErase(const QStringList& args) {
    expectArguments(args, 1, "kx erase MODULE|GROUP [--yes]");
    const std::int32_t target = kxTarget(args[0]);
    const std::string given =
        target < 0 ? str(args[0]) : moduleNameText({ModuleFamily::KX, target});
    if (!confirmErase(given, kEraseWarning)) return kExitFailed;
    OpenLine guard{link_};
    if (!openWithStatus()) return stopped(kExitFailed);
    const std::vector<int> targets = kxTargets(target, registry_.kxTypes);
    if (targets.empty() ||
        (target >= 0 && registry_.kxTypes[static_cast<std::size_t>(target)] == kKxNone))
        return out_.fail(ErrorCode::NotRegistered,
                         given + " did not answer the status request; nothing erased");
    const DispatchOutcome outcome = eraseKxSettings(link_, targets);
    QJsonArray erased;
    for (int m : outcome.answered) {
        out_.line(kxName(registry_, m) + " erased");
        erased.append(q(kxName(registry_, m)));
    }
    out_.result.insert("erased", erased);
    return sent(outcome, "the erase", "kx:") ? kExitOk : kExitFailed;
}

int Command::kxMsCheck() {
    OpenLine guard{link_};
    if (!openWithStatus()) return stopped(kExitFailed);
    const MasterSlaveCheck check = checkMasterSlave(link_, registry_.kxTypes);
    QJsonArray modules;
    for (const MasterSlaveAnswer& a : check.answers) {
        const std::string name = kxName(registry_, a.module);
        const char* mode = a.mode == 1 ? "master" : a.mode == 2 ? "slave" : "error";
        out_.line(name + " is " + mode +
                  (a.mode == 1 || a.mode == 2 ? "" : " " + std::to_string(a.mode)));
        modules.append(QJsonObject{{"module", q(name)}, {"mode", mode}, {"value", a.mode}});
    }
    out_.result.insert("modules", modules);
    out_.result.insert("masters", check.masterCount);
    switch (check.outcome) {
        case MasterSlaveOutcome::Abandoned:
            if (!out_.failed()) out_.fail(ErrorCode::NoAnswer, inEnglish(kNoAnswer));
            return kExitFailed;
        case MasterSlaveOutcome::ModuleSilent:
            return out_.fail(ErrorCode::NoAnswer,
                             kxName(registry_, check.silentModule) + " did not answer (\"" +
                                 check.message + "\")",
                             kxName(registry_, check.silentModule), "ms");
        case MasterSlaveOutcome::Judged:
            break;
    }
    const std::string verdict = check.verdict;
    out_.result.insert("verdict", q(verdict));
    if (check.masterCount == 1) {
        out_.line("one master (\"" + verdict + "\")");
        return kExitOk;
    }
    return out_.fail(ErrorCode::Verdict,
                     std::string(check.masterCount == 0 ? "no master" : "more than one master") +
                         " (\"" + verdict + "\")");
}

}  // namespace korvel::ctl
