// kx get, set, erase and ms-check: the KX page's buttons from a terminal.
#include <map>

#include "ctl/command.h"
#include "ctl/handlers.h"
#include "kx/commands.h"
#include "ops/kx_ops.h"

namespace korvel::ctl {

using namespace korvel::ops;

namespace {

// The selection as the page's caption names it: "KX44", "KXxx", "Unknown".
std::string selectionName(const KxSelection& s) {
    return s.everyKx ? "KXxx" : std::string(moduleTypeName(s.type));
}

[[noreturn]] void refuse(const KxSettingName& row, const KxSelection& selection,
                         KxOfferCheck check) {
    if (check == KxOfferCheck::ReadOnly)
        throw UsageError{std::string(row.name) + " of a " + selectionName(selection) +
                         " can be read, not set"};
    throw UsageError{std::string(row.name) + " is not a setting of a " + selectionName(selection)};
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

std::string joinedNames(const std::vector<ModuleName>& modules) {
    std::string names;
    for (const ModuleName& m : modules) names += (names.empty() ? "" : ", ") + moduleNameText(m);
    return names;
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

int kxGet(Command& c, const QStringList& args) {
    if (args.size() != 1 && args.size() != 2)
        throw UsageError{"usage: korvelctl kx get MODULE [SETTING] [--permanent]"};
    const std::int32_t target = kxTarget(args[0]);
    if (target < 0) throw UsageError{"kx get reads one module, not a group"};
    const KxSettingName* one = args.size() == 2 ? &settingArgument(c.parser, args[1]) : nullptr;
    OpenLine guard{c.link};
    if (!c.openWithStatus()) return c.stopped(kExitFailed);
    const bool permanent = c.isSet("permanent");
    const KxGetResult r = ops::kxGet(c.bus, target, one, permanent);
    if (r.failure && r.failure->error == OpError::NotRegistered)
        return c.notRegistered("KX", args[0], r.module);
    if (r.failure && r.failure->error == OpError::Refused)
        refuse(*one, singleModule(r.type), r.offer);
    if (r.failure) return c.failed(*r.failure);
    const std::string name = moduleNameOf(r.module, r.type);
    c.out.take(results::kxGetJson(r, permanent));
    int exit = kExitOk;
    for (const KxReading& reading : r.readings) {
        const char* setting = reading.row->name;
        if (!reading.value) {
            exit =
                c.out.fail(ErrorCode::NoAnswer, name + ": no answer to " + setting, name, setting);
            continue;
        }
        const std::string value = std::to_string(*reading.value);
        c.out.line(one ? value : std::string(setting) + " = " + value);
    }
    return exit;
}

int kxSet(Command& c, const QStringList& args) {
    expectArguments(args, 3, "kx set MODULE SETTING VALUE [--permanent]");
    const std::int32_t target = kxTarget(args[0]);
    const KxSettingName& row = settingArgument(c.parser, args[1]);
    std::string error;
    const std::optional<int> value = parseKxValue(row, str(args[2]), error);
    if (!value) throw UsageError{error};
    // A group's offer is known without asking the system: refuse before the first frame.
    if (target < 0) {
        const KxSelection group = kxSelection(target, {});
        if (const KxOfferCheck check = kxOfferCheck(row, group, true);
            check != KxOfferCheck::Offered)
            refuse(row, group, check);
    }
    OpenLine guard{c.link};
    if (!c.openWithStatus()) return c.stopped(kExitFailed);
    const bool permanent = c.isSet("permanent");
    const KxSetResult r = ops::kxSet(c.bus, target, row, *value, permanent);
    if (r.failure && r.failure->error == OpError::NotRegistered && r.modules.empty()) {
        if (target >= 0) return c.notRegistered("KX", args[0], kxModule(target));
        return c.out.fail(ErrorCode::NotRegistered, "no module of the group " + str(args[0]) +
                                                        " answered the status request");
    }
    if (r.failure && r.failure->error == OpError::Refused) refuse(row, r.selection, r.offer);
    if (r.failure && r.failure->error == OpError::LineLost) return c.failed(*r.failure);
    c.out.take(results::kxSetJson(r, c.bus.registry(), row, *value, permanent));
    int exit = kExitOk;
    for (const KxSetModule& m : r.modules) {
        const std::string name = kxNameAt(c.bus.registry(), m.module.item);
        if (m.confirmed) {
            c.out.line(name + ' ' + row.name + " = " + std::to_string(*value) + " confirmed");
            continue;
        }
        exit =
            c.out.fail(ErrorCode::NotConfirmed,
                       name + ' ' + row.name + ": not confirmed" +
                           (m.reported ? " (the module reports " + std::to_string(*m.reported) + ")"
                                       : " (no answer)"),
                       name, row.name);
    }
    if (!r.lost.empty())
        exit = c.out.fail(ErrorCode::NotRegistered,
                          joinedNames(r.lost) + " did not answer the status request; not set",
                          r.lost.size() == 1 ? moduleNameText(r.lost.front()) : "");
    return exit;
}

int kxErase(Command& c, const QStringList& args) {
    expectArguments(args, 1, "kx erase MODULE|GROUP [--yes]");
    const std::int32_t target = kxTarget(args[0]);
    const std::string given = target < 0 ? str(args[0]) : moduleNameText(kxModule(target));
    if (!c.confirmErase(given)) return kExitFailed;
    OpenLine guard{c.link};
    if (!c.openWithStatus()) return c.stopped(kExitFailed);
    const KxEraseResult r = ops::kxErase(c.bus, target);
    if (r.failure && r.failure->error == OpError::NotRegistered)
        return c.out.fail(ErrorCode::NotRegistered,
                          given + " did not answer the status request; nothing erased",
                          target < 0 ? "" : given);
    std::vector<std::string> erased;
    for (const ModuleName& m : r.erased) {
        erased.push_back(kxNameAt(c.bus.registry(), m.item));
        c.out.line(erased.back() + " erased");
    }
    c.out.take(results::erasedJson(erased));
    return r.failure ? c.failed(*r.failure, "the erase") : kExitOk;
}

int kxMsCheck(Command& c, const QStringList&) {
    OpenLine guard{c.link};
    if (!c.openWithStatus()) return c.stopped(kExitFailed);
    const MsCheckResult r = kxMasterSlaveCheck(c.bus);
    const MasterSlaveCheck& check = r.check;
    c.out.take(results::msCheckJson(r, c.bus.registry()));
    for (const MasterSlaveAnswer& a : check.answers) {
        const char* mode = a.mode == 1 ? "master" : a.mode == 2 ? "slave" : "error";
        c.out.line(kxNameAt(c.bus.registry(), a.module) + " is " + mode +
                   (a.mode == 1 || a.mode == 2 ? "" : " " + std::to_string(a.mode)));
    }
    if (r.failure && r.failure->error != OpError::Verdict) {
        if (r.failure->error != OpError::NoAnswer || r.failure->module.empty())
            return c.failed(*r.failure);
        return c.out.fail(ErrorCode::NoAnswer,
                          r.failure->module + " did not answer (\"" + check.message + "\")",
                          r.failure->module, "ms");
    }
    const std::string verdict = check.verdict;
    if (!r.failure) {
        c.out.line("one master (\"" + verdict + "\")");
        return kExitOk;
    }
    return c.out.fail(ErrorCode::Verdict,
                      std::string(check.masterCount == 0 ? "no master" : "more than one master") +
                          " (\"" + verdict + "\")");
}

}  // namespace korvel::ctl
