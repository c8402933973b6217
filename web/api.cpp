#include "web/api.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <map>

#include "backup/backup_file.h"
#include "ops/kx_ops.h"
#include "ops/system_ops.h"
#include "ops/system_runs.h"
#include "ops/zr_ops.h"
#include "results_json/results_json.h"
#include "results_json/status_json.h"
#include "results_json/tables_json.h"
#include "results_json/test_functions.h"
#include "service/module_registry.h"
#include "zr/zr_commands.h"
#include "zr/zr_format.h"

namespace korvel::web {

using namespace korvel::ops;
using results::ErrorCode;

namespace {

// A request that cannot be carried out as given; nothing is sent.
struct Refused {
    std::string message;
};

std::string str(const QString& s) {
    return s.toStdString();
}

// A command's object as korvelctl --json prints it: its members, "command",
// "exit" and the first failure.
class Result {
  public:
    explicit Result(const char* command) : command_(command) {}
    void take(const QJsonObject& members) {
        for (auto it = members.begin(); it != members.end(); ++it) object_.insert(it.key(), it.value());
    }
    void fail(ErrorCode code, const std::string& message, const std::string& module = {},
              const std::string& setting = {}) {
        if (!error_.isEmpty()) return;
        error_ = results::errorJson(code, module, setting, message);
        exit_ = code == ErrorCode::Usage ? 2 : 1;
    }
    void fail(const OpFailure& f, const std::string& what) {
        const std::string where = f.module.empty() ? what : f.module + (f.setting.empty() ? "" : " " + f.setting);
        std::string message;
        switch (f.error) {
            case OpError::LineLost:
                message = "the line was lost";
                break;
            case OpError::NoPort:
                message = "no port is open";
                break;
            case OpError::Stopped:
                message = what + " stopped";
                break;
            case OpError::NotRegistered:
                message = where + " did not answer the status request";
                break;
            case OpError::NotConfirmed:
                message = where + ": not confirmed";
                break;
            default:
                message = where + ": no answer";
        }
        if (!f.detail.empty()) message += ": " + f.detail;
        fail(results::errorCodeOf(f.error), message, f.module, f.setting);
    }
    bool failed() const { return !error_.isEmpty(); }
    Reply reply() const {
        QJsonObject o = object_;
        o.insert("command", command_);
        o.insert("exit", exit_);
        if (!error_.isEmpty()) o.insert("error", error_);
        const int status = error_.isEmpty() ? 200 : httpStatus(error_.value("code").toString());
        return Reply{status, QJsonDocument(o).toJson(QJsonDocument::Compact)};
    }

  private:
    const char* command_;
    QJsonObject object_, error_;
    int exit_ = 0;
};

// Every command but status stands on the modules a status request registered.
bool registeredOrFailed(JobContext& ctx, Result& r) {
    if (ctx.registered()) return true;
    r.fail(ErrorCode::NoAnswer, "the status request did not complete");
    return false;
}

bool flag(const QUrlQuery& query, const char* name) {
    const QString v = query.queryItemValue(name);
    return v == "1" || v == "true";
}

QJsonObject bodyObject(const QByteArray& body, bool required) {
    if (body.trimmed().isEmpty() && !required) return {};
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (!doc.isObject()) throw Refused{"the body is not a JSON object"};
    return doc.object();
}

void onlyMembers(const QJsonObject& o, std::initializer_list<const char*> known) {
    for (auto it = o.begin(); it != o.end(); ++it)
        if (std::none_of(known.begin(), known.end(), [&](const char* k) { return it.key() == k; }))
            throw Refused{"the body has no member \"" + str(it.key()) + "\" here"};
}

bool boolMember(const QJsonObject& o, const char* name) {
    const QJsonValue v = o.value(name);
    if (v.isUndefined()) return false;
    if (!v.isBool()) throw Refused{std::string("\"") + name + "\" is true or false"};
    return v.toBool();
}

int wholeMember(const QJsonObject& o, const char* name, int fallback, int maximum) {
    const QJsonValue v = o.value(name);
    if (v.isUndefined()) return fallback;
    const double d = v.toDouble(-1);
    if (!v.isDouble() || d != static_cast<double>(static_cast<int>(d)) || d < 0 || d > maximum)
        throw Refused{std::string("\"") + name + "\" takes a whole number from 0 to " +
                      std::to_string(maximum)};
    return static_cast<int>(d);
}

// A value given as a number or a word, as korvelctl reads its argument.
std::string valueText(const QJsonObject& o) {
    const QJsonValue v = o.value("value");
    if (v.isDouble()) return std::to_string(v.toInteger(-1));
    if (v.isString()) return str(v.toString());
    throw Refused{"\"value\" is a number or a name"};
}

std::int32_t kxTarget(const QString& text, bool groups) {
    static const std::map<QString, std::int32_t> kGroups{
        {"ALL_KXXX", kAllKXxx}, {"ALL_KX44", kAllKX44}, {"ALL_KX-H", kAllKXH}, {"ALL_WOBE", kAllWobe}};
    if (auto it = kGroups.find(text.toUpper()); groups && it != kGroups.end()) return it->second;
    if (const std::optional<int> item = parseKxItem(str(text))) return *item;
    throw Refused{"no KX module \"" + str(text) + "\": give 0..15, or 2.0 and 2.1 for the halves of a KX44" +
                  (groups ? ", or a group All_KXxx, All_KX44, All_KX-H, All_WOBE" : "")};
}

std::int32_t zrTarget(const QString& text, bool all) {
    if (all && text.compare("All", Qt::CaseInsensitive) == 0) return kAllZR;
    bool number = false;
    const int m = text.toInt(&number);
    if (!number || m < 0 || m > 7) throw Refused{"no ZR32 module \"" + str(text) + "\": give 0..7" + (all ? " or All" : "")};
    return m;
}

VgBits bitsMember(const QJsonValue& v, const std::array<const char*, 8>& captions, const char* name) {
    if (!v.isArray()) throw Refused{std::string("\"") + name + "\" is a list of bits"};
    VgBits bits{};
    for (const QJsonValue& b : v.toArray()) {
        std::optional<std::size_t> found;
        if (b.isDouble() && b.toInt(-1) >= 0 && b.toInt(-1) < 8) found = static_cast<std::size_t>(b.toInt());
        for (std::size_t i = 0; i < captions.size() && !found && b.isString(); ++i)
            if (b.toString().compare(captions[i], Qt::CaseInsensitive) == 0 && b.toString() != "NU") found = i;
        if (!found) throw Refused{std::string("\"") + name + "\" takes bit numbers 0-7 or box captions"};
        bits[*found] = true;
    }
    return bits;
}

std::vector<std::string> listValues(const QUrlQuery& query, const char* name) {
    std::vector<std::string> out;
    for (const QString& v : query.allQueryItemValues(name, QUrl::FullyDecoded))
        for (const QString& part : v.split(',', Qt::SkipEmptyParts)) out.push_back(str(part));
    return out;
}

// The names of the modules of a module list, as the registry knows their types.
std::vector<std::string> kxNames(const ModuleRegistry& registry, const std::vector<ModuleName>& modules) {
    std::vector<std::string> out;
    for (const ModuleName& m : modules) out.push_back(kxNameAt(registry, m.item));
    return out;
}

ApiJob readJob(BusQueue::Work work) {
    return {JobKind::Read, "", std::move(work)};
}
ApiJob writeJob(BusQueue::Work work) {
    return {JobKind::Write, "", std::move(work)};
}

ApiJob statusRoute(const QByteArray& body) {
    const QJsonObject o = bodyObject(body, false);
    onlyMembers(o, {"classic"});
    const bool classic = boolMember(o, "classic");
    return readJob([classic](JobContext& ctx) {
        Result r("status");
        if (const Failure f = ctx.requestStatus(classic)) {
            r.fail(*f, "the status request");
            return r.reply();
        }
        r.take(results::statusJson(*ctx.bus().facts()));
        const std::vector<std::string> lost = results::notAnswering(*ctx.bus().facts());
        if (!lost.empty()) r.fail(ErrorCode::NoAnswer, lost.front() + " did not answer the status request", lost.front());
        return r.reply();
    });
}

ApiJob kxGetRoute(const QString& module, bool permanent) {
    const std::int32_t target = kxTarget(module, false);
    return readJob([target, permanent](JobContext& ctx) {
        Result r("kx get");
        if (!registeredOrFailed(ctx, r)) return r.reply();
        const KxGetResult g = kxGet(ctx.bus(), target, nullptr, permanent);
        if (g.failure) {
            r.fail(*g.failure, moduleNameOf(g.module, g.type));
            return r.reply();
        }
        r.take(results::kxGetJson(g, permanent));
        for (const KxReading& reading : g.readings)
            if (!reading.value)
                r.fail(ErrorCode::NoAnswer, moduleNameOf(g.module, g.type) + ": no answer to " + reading.row->name,
                       moduleNameOf(g.module, g.type), reading.row->name);
        return r.reply();
    });
}

ApiJob kxSetRoute(const QString& module, const QString& setting, const QByteArray& body) {
    const std::int32_t target = kxTarget(module, true);
    const KxSettingName* row = findKxSetting(str(setting));
    if (!row) throw Refused{"no KX setting \"" + str(setting) + "\""};
    const QJsonObject o = bodyObject(body, true);
    onlyMembers(o, {"value", "permanent"});
    std::string error;
    const std::optional<int> value = parseKxValue(*row, valueText(o), error);
    if (!value) throw Refused{error};
    const bool permanent = boolMember(o, "permanent");
    return writeJob([target, row, value = *value, permanent](JobContext& ctx) {
        Result r("kx set");
        if (!registeredOrFailed(ctx, r)) return r.reply();
        const KxSetResult s = kxSet(ctx.bus(), target, *row, value, permanent);
        if (s.failure && s.failure->error == OpError::Refused) {
            r.fail(ErrorCode::Usage, std::string(row->name) + " cannot be set on this module", "", row->name);
            return r.reply();
        }
        r.take(results::kxSetJson(s, ctx.bus().registry(), *row, value, permanent));
        for (const KxSetModule& m : s.modules)
            if (!m.confirmed) {
                const std::string name = kxNameAt(ctx.bus().registry(), m.module.item);
                r.fail(ErrorCode::NotConfirmed, name + ' ' + row->name + ": not confirmed", name, row->name);
            }
        if (s.failure) r.fail(*s.failure, row->name);
        return r.reply();
    });
}

ApiJob kxEraseRoute(const QString& module) {
    const std::int32_t target = kxTarget(module, true);
    return writeJob([target](JobContext& ctx) {
        Result r("kx erase");
        if (!registeredOrFailed(ctx, r)) return r.reply();
        const KxEraseResult e = kxErase(ctx.bus(), target);
        r.take(results::erasedJson(kxNames(ctx.bus().registry(), e.erased)));
        if (e.failure) r.fail(*e.failure, "the erase");
        return r.reply();
    });
}

ApiJob msCheckRoute() {
    return readJob([](JobContext& ctx) {
        Result r("kx ms-check");
        if (!registeredOrFailed(ctx, r)) return r.reply();
        const MsCheckResult m = kxMasterSlaveCheck(ctx.bus());
        r.take(results::msCheckJson(m, ctx.bus().registry()));
        if (m.failure && m.failure->error == OpError::Verdict)
            r.fail(ErrorCode::Verdict, m.check.verdict);
        else if (m.failure)
            r.fail(*m.failure, "the master/slave check");
        return r.reply();
    });
}

ApiJob zrReportRoute(const QString& module, bool permanent) {
    const std::int32_t target = zrTarget(module, false);
    return readJob([target, permanent](JobContext& ctx) {
        Result r("zr report");
        if (!registeredOrFailed(ctx, r)) return r.reply();
        const ZrReportResult z = zrReport(ctx.bus(), target, permanent);
        const std::string name = moduleNameText({ModuleFamily::ZR, target});
        if (z.failure && z.failure->error == OpError::NotRegistered) {
            r.fail(*z.failure, name);
            return r.reply();
        }
        r.take(results::zrReportJson(target, permanent, results::zrReportText(z.items)));
        if (!z.whole) r.fail(ErrorCode::NoAnswer, name + ": the report is incomplete", name);
        return r.reply();
    });
}

ApiJob zrSetRoute(const QStringList& path, const QByteArray& body) {
    const std::int32_t target = zrTarget(path[1], true);
    const QJsonObject o = bodyObject(body, true);
    onlyMembers(o, {"value", "permanent"});
    ZrWriteStep step;
    if (path.size() == 3 && path[2] == "default-time") {
        step = {"default-time", -1, false, wholeMember(o, "value", -1, kZrMaxTime)};
        if (step.value < 0) throw Refused{"\"value\" is required"};
    } else if (path.size() == 5 && path[2] == "device" && (path[4] == "time" || path[4] == "power")) {
        bool number = false;
        step.device = path[3].toInt(&number);
        if (!number || step.device < 0 || step.device > kZrMaxDevice) throw Refused{"a device is 0..63"};
        step.power = path[4] == "power";
        step.name = "device " + std::to_string(step.device) + " " + str(path[4]);
        if (step.power) {
            const QString text = QString::fromStdString(valueText(o));
            step.value = -1;
            for (std::size_t w = 0; w < kZrPowerNames.size(); ++w)
                if (text.compare(kZrPowerNames[w], Qt::CaseInsensitive) == 0 || text == QString::number(w))
                    step.value = static_cast<int>(w);
            if (step.value < 0) throw Refused{"power takes Normal, Low, High, Unlimited or 0-3"};
        } else {
            step.value = wholeMember(o, "value", -1, kZrMaxTime);
            if (step.value < 0) throw Refused{"\"value\" is required"};
        }
    } else {
        throw Refused{"no such ZR32 setting"};
    }
    const bool permanent = boolMember(o, "permanent");
    return writeJob([target, step, permanent](JobContext& ctx) {
        Result r("zr set");
        if (!registeredOrFailed(ctx, r)) return r.reply();
        const ZrSetResult z = zrSet(ctx.bus(), target, step, permanent);
        r.take(results::zrSetJson(z, step.name, step.value, permanent));
        for (const ZrSetModule& m : z.modules)
            if (!m.confirmed)
                r.fail(ErrorCode::NotConfirmed, moduleNameText(m.module) + ' ' + step.name + ": not confirmed",
                       moduleNameText(m.module), step.name);
        if (z.failure) r.fail(*z.failure, step.name);
        return r.reply();
    });
}

ApiJob zrEraseRoute(const QString& module) {
    const std::int32_t target = zrTarget(module, true);
    return writeJob([target](JobContext& ctx) {
        Result r("zr erase");
        if (!registeredOrFailed(ctx, r)) return r.reply();
        const ZrEraseResult e = zrErase(ctx.bus(), target);
        std::vector<std::string> names;
        for (const ModuleName& m : e.erased) names.push_back(moduleNameText(m));
        r.take(results::erasedJson(names));
        if (e.failure)
            r.fail(*e.failure, target < 0 ? "the erase" : moduleNameText({ModuleFamily::ZR, target}));
        return r.reply();
    });
}

ApiJob vgRoute(const QByteArray& body) {
    const QJsonObject o = bodyObject(body, true);
    onlyMembers(o, {"config", "options", "permanent"});
    VgRequest request;
    request.permanent = boolMember(o, "permanent");
    if (o.contains("config")) request.config = bitsMember(o.value("config"), kVgConfigBitNames, "config");
    if (o.contains("options")) request.options = bitsMember(o.value("options"), kVgOptionBitNames, "options");
    if (!request.config && !request.options) throw Refused{"vg set needs \"config\" or \"options\""};
    return writeJob([request](JobContext& ctx) {
        Result r("vg set");
        if (!registeredOrFailed(ctx, r)) return r.reply();
        const std::string unit = vgOffer(*ctx.bus().facts()).unit;
        const VgSetResult v = vgSet(ctx.bus(), request);
        r.take(results::vgSetJson(unit, request, v));
        if (v.failure && v.failure->error == OpError::Refused)
            r.fail(ErrorCode::Usage, "a " + unit + " does not offer that bit", "", v.failure->setting);
        else if (v.failure)
            r.fail(*v.failure, v.failure->setting == "config" ? "the configuration" : "the options");
        return r.reply();
    });
}

// The unit the last status request found, and the bits it offers.
ApiJob vgOfferRoute() {
    return readJob([](JobContext& ctx) {
        Result r("vg offer");
        if (!registeredOrFailed(ctx, r)) return r.reply();
        r.take(results::vgOfferJson(vgOffer(*ctx.bus().facts())));
        return r.reply();
    });
}

ApiJob resetFaultRoute() {
    return writeJob([](JobContext& ctx) {
        Result r("reset-fault");
        if (const Failure f = resetFault(ctx.bus()))
            r.fail(*f, "Reset Fault");
        else
            r.take(results::resetFaultJson());
        return r.reply();
    });
}

ApiJob testRoute(const QByteArray& body) {
    const QJsonObject o = bodyObject(body, true);
    onlyMembers(o, {"group", "on", "decoder", "block"});
    const std::optional<FunctionGroup> group = results::functionGroupNamed(str(o.value("group").toString()));
    if (!group) throw Refused{"\"group\" is F1..F4+L, F5..F8, F9..F12, F13..F20 or F21..F28"};
    std::vector<std::string> on;
    for (const QJsonValue& f : o.value("on").toArray()) on.push_back(str(f.toString()));
    std::string error;
    const std::optional<std::array<bool, 8>> pattern = results::functionPattern(*group, on, error);
    if (!pattern) throw Refused{error};
    const int decoder = wholeMember(o, "decoder", 1, kMaxDecoder);
    const int block = wholeMember(o, "block", 0, kMaxBlock);
    return writeJob([group = *group, pattern = *pattern, decoder, block](JobContext& ctx) {
        Result r("test");
        const Frame frame = FunctionGroupFrame(group, block, decoder, patternByte(pattern));
        if (const Failure f = functionTest(ctx.bus(), frame))
            r.fail(*f, "the test");
        else
            r.take(results::functionTestJson(group, decoder, block, pattern));
        return r.reply();
    });
}

ApiJob backupRoute() {
    return {JobKind::Run, "backup", [](JobContext& ctx) {
                Result r("backup");
                if (const Failure f = ctx.requestStatus(false)) {
                    r.fail(*f, "the status request");
                    return r.reply();
                }
                std::vector<std::string> lost = results::notAnswering(*ctx.bus().facts(), false);
                if (!lost.empty()) {
                    r.fail(ErrorCode::NoAnswer, lost.front() + " did not answer the status request; no backup made",
                           lost.front());
                    return r.reply();
                }
                const QDateTime now = QDateTime::currentDateTimeUtc();
                const BackupRun run = takeBackup(ctx.bus(), *ctx.bus().facts(), str(now.toString(Qt::ISODate)));
                if (!run.backup) {
                    r.take(results::backupJson("-", run));
                    const std::string why = run.result.stopped;
                    const results::RunPlace at = results::stopPlace(run.result);
                    r.fail(!ctx.bus().stopReason().empty() ? ErrorCode::Stopped : ErrorCode::NoAnswer,
                           "no backup made" + (why.empty() ? "" : ": " + why), at.module, at.setting);
                    return r.reply();
                }
                const QByteArray name = "korvel-backup-" + now.toString("yyyyMMdd'T'HHmmss'Z'").toLatin1() + ".json";
                return Reply{200, backup::toJson(*run.backup), "application/json",
                             {{"Content-Disposition", "attachment; filename=\"" + name + "\""}}};
            }};
}

ApiJob fileRoute(bool restoreIt, const QUrlQuery& query, const QByteArray& body) {
    std::string error;
    std::optional<Backup> file = backup::fromJson(body, error);
    if (!file) throw Refused{"the body is not a backup: " + error};
    const std::vector<std::string> only = listValues(query, "only"), map = listValues(query, "map");
    const bool dryRun = restoreIt && flag(query, "dry-run");
    // The targets point into the file: both travel with the job.
    auto shared = std::make_shared<Backup>(std::move(*file));
    auto targets = restoreTargets(*shared, only, map, error);
    if (!targets) throw Refused{error};
    const char* command = restoreIt ? "restore" : "verify";
    if (dryRun) {
        return readJob([shared, targets = *targets](JobContext&) {
            Result r("restore");
            r.take(QJsonObject{{"file", "-"}, {"items", results::itemsJson(restorePlan(targets))}});
            return r.reply();
        });
    }
    return {JobKind::Run, command, [shared, targets = *targets, restoreIt, command](JobContext& ctx) {
                Result r(command);
                if (const Failure f = ctx.requestStatus(false)) {
                    r.fail(*f, "the status request");
                    return r.reply();
                }
                const RunResult run = restoreIt ? restore(ctx.bus(), targets) : verify(ctx.bus(), targets);
                r.take(results::runJson("-", run, restoreIt));
                const results::RunPlace at = results::stopPlace(run);
                if (!run.stopped.empty())
                    r.fail(!ctx.bus().stopReason().empty() ? ErrorCode::Stopped : ErrorCode::NoAnswer,
                           std::string(command) + " stopped: " + run.stopped, at.module, at.setting);
                for (const RunItem& i : run.items) {
                    if (i.kind == ItemKind::Different)
                        r.fail(ErrorCode::Differences, moduleNameOf(i.module, i.type) + ' ' + i.setting + " differs from the file",
                               moduleNameOf(i.module, i.type), i.setting);
                    if (i.kind == ItemKind::Skipped)
                        r.fail(ErrorCode::Skipped, moduleNameOf(i.module, i.type) + " skipped: " + i.reason,
                               moduleNameOf(i.module, i.type));
                    if (i.kind == ItemKind::NotAnswered)
                        r.fail(ErrorCode::NoAnswer, moduleNameOf(i.module, i.type) + ' ' + i.setting + ": no answer",
                               moduleNameOf(i.module, i.type), i.setting);
                }
                return r.reply();
            }};
}

}  // namespace

Reply refusal(int status, const char* code, const std::string& message) {
    const QJsonObject error{{"code", code},
                            {"module", QJsonValue()},
                            {"setting", QJsonValue()},
                            {"message", QString::fromStdString(message)}};
    return Reply{status, QJsonDocument(QJsonObject{{"error", error}}).toJson(QJsonDocument::Compact)};
}

int httpStatus(const QString& code) {
    static const std::map<QString, int> kStatus{
        {"usage", 400},        {"file", 400},        {"not-registered", 404}, {"stopped", 409},
        {"not-confirmed", 422}, {"differences", 422}, {"skipped", 422},       {"verdict", 422},
        {"port", 503},         {"line-lost", 503},   {"no-answer", 504}};
    const auto it = kStatus.find(code);
    return it == kStatus.end() ? 500 : it->second;
}

bool writes(const QByteArray& method, const QStringList& path, const QUrlQuery& query) {
    if (method == "GET") return false;
    if (path.value(0) == "status" || path.value(0) == "verify") return false;
    if (path.value(0) == "kx" && path.value(1) == "ms-check") return false;
    if (path.value(0) == "restore") return !flag(query, "dry-run");
    return true;
}

std::variant<Reply, ApiJob> apiRoute(const QByteArray& method, const QStringList& path,
                                     const QUrlQuery& query, const QByteArray& body) {
    const bool permanent = flag(query, "permanent");
    const auto is = [&](const char* m, std::initializer_list<const char*> words) {
        if (method != m || path.size() != static_cast<qsizetype>(words.size())) return false;
        qsizetype i = 0;
        for (const char* w : words) {
            if (*w != '*' && path[i] != w) return false;
            ++i;
        }
        return true;
    };
    const char* command = "";
    // The command a route stands for, so that a refusal names it as korvelctl would.
    const auto route = [&](const char* c, auto make) -> std::variant<Reply, ApiJob> {
        command = c;
        return make();
    };
    try {
        if (is("POST", {"status"})) return route("status", [&] { return statusRoute(body); });
        if (is("POST", {"kx", "ms-check"})) return route("kx ms-check", [&] { return msCheckRoute(); });
        // The settings table needs no exchange: it is answered here, not queued.
        if (is("GET", {"kx", "settings"})) {
            Result r("kx settings");
            r.take(results::kxSettingsJson());
            return r.reply();
        }
        if (is("GET", {"kx", "*"})) return route("kx get", [&] { return kxGetRoute(path[1], permanent); });
        if (is("POST", {"kx", "*", "erase"})) return route("kx erase", [&] { return kxEraseRoute(path[1]); });
        if (is("PUT", {"kx", "*", "*"}))
            return route("kx set", [&] { return kxSetRoute(path[1], path[2], body); });
        if (is("GET", {"zr", "*", "report"}))
            return route("zr report", [&] { return zrReportRoute(path[1], permanent); });
        if (is("POST", {"zr", "*", "erase"})) return route("zr erase", [&] { return zrEraseRoute(path[1]); });
        if (method == "PUT" && path.value(0) == "zr" && path.size() >= 3)
            return route("zr set", [&] { return zrSetRoute(path, body); });
        if (is("GET", {"vg"})) return route("vg offer", [&] { return vgOfferRoute(); });
        if (is("PUT", {"vg"})) return route("vg set", [&] { return vgRoute(body); });
        if (is("POST", {"reset-fault"})) return route("reset-fault", [&] { return resetFaultRoute(); });
        if (is("POST", {"test"})) return route("test", [&] { return testRoute(body); });
        if (is("GET", {"backup"})) return route("backup", [&] { return backupRoute(); });
        if (is("POST", {"verify"})) return route("verify", [&] { return fileRoute(false, query, body); });
        if (is("POST", {"restore"})) return route("restore", [&] { return fileRoute(true, query, body); });
    } catch (const Refused& refused) {
        Result r(command);
        r.fail(ErrorCode::Usage, refused.message);
        return r.reply();
    }
    return refusal(404, "not-found", "no such route");
}

}  // namespace korvel::web
