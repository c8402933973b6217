#include "results_json/results_json.h"

#include "results_json/test_functions.h"
#include "zr/zr_format.h"

namespace korvel::results {

using namespace korvel::ops;

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QJsonValue number(const std::optional<int>& v) {
    return v ? QJsonValue(*v) : QJsonValue();
}

QJsonArray stringList(const std::vector<std::string>& names) {
    QJsonArray out;
    for (const std::string& n : names) out.append(q(n));
    return out;
}

const char* kindName(ItemKind kind) {
    switch (kind) {
        case ItemKind::Saved:
            return "saved";
        case ItemKind::Equal:
            return "equal";
        case ItemKind::Written:
            return "written";
        case ItemKind::Sent:
            return "sent";
        case ItemKind::Different:
            return "different";
        case ItemKind::Skipped:
            return "skipped";
        case ItemKind::NotAnswered:
            return "not-answered";
        case ItemKind::Planned:
            return "planned";
    }
    return "";
}

// A run's summary ("kx:2.0 (KX44) (every setting); zr:1 (the rest)") as one
// entry per module; "nothing" is none.
QJsonArray summaryList(const std::string& summary) {
    QJsonArray out;
    if (summary == "nothing") return out;
    for (std::size_t from = 0; from <= summary.size();) {
        const std::size_t to = std::min(summary.find("; ", from), summary.size());
        out.append(q(summary.substr(from, to - from)));
        from = to + 2;
    }
    return out;
}

}  // namespace

const char* errorCodeName(ErrorCode code) {
    switch (code) {
        case ErrorCode::Usage:
            return "usage";
        case ErrorCode::Port:
            return "port";
        case ErrorCode::LineLost:
            return "line-lost";
        case ErrorCode::NoAnswer:
            return "no-answer";
        case ErrorCode::NotRegistered:
            return "not-registered";
        case ErrorCode::NotConfirmed:
            return "not-confirmed";
        case ErrorCode::Differences:
            return "differences";
        case ErrorCode::Skipped:
            return "skipped";
        case ErrorCode::Verdict:
            return "verdict";
        case ErrorCode::Cancelled:
            return "cancelled";
        case ErrorCode::File:
            return "file";
        case ErrorCode::Stopped:
            return "stopped";
    }
    return "failed";
}

ErrorCode errorCodeOf(OpError error) {
    switch (error) {
        case OpError::NoPort:
            return ErrorCode::Port;
        case OpError::LineLost:
            return ErrorCode::LineLost;
        case OpError::NoAnswer:
            return ErrorCode::NoAnswer;
        case OpError::NotRegistered:
            return ErrorCode::NotRegistered;
        case OpError::NotConfirmed:
            return ErrorCode::NotConfirmed;
        case OpError::Differences:
            return ErrorCode::Differences;
        case OpError::Skipped:
            return ErrorCode::Skipped;
        case OpError::Verdict:
            return ErrorCode::Verdict;
        case OpError::Refused:
            return ErrorCode::Usage;
        case OpError::Stopped:
            return ErrorCode::Stopped;
    }
    return ErrorCode::NoAnswer;
}

QJsonObject errorJson(ErrorCode code, const std::string& module, const std::string& setting,
                      const std::string& message) {
    const auto opt = [](const std::string& s) { return s.empty() ? QJsonValue() : QJsonValue(q(s)); };
    return QJsonObject{{"code", errorCodeName(code)},
                       {"module", opt(module)},
                       {"setting", opt(setting)},
                       {"message", q(message)}};
}

QJsonObject kxGetJson(const KxGetResult& r, bool permanent) {
    QJsonObject settings;
    for (const KxReading& reading : r.readings) settings.insert(reading.row->name, number(reading.value));
    return QJsonObject{{"module", q(moduleNameOf(r.module, r.type))},
                       {"type", q(std::string(moduleTypeName(r.type)))},
                       {"permanent", permanent},
                       {"settings", settings}};
}

QJsonObject kxSetJson(const KxSetResult& r, const ModuleRegistry& registry,
                      const KxSettingName& row, int value, bool permanent) {
    QJsonArray modules;
    for (const KxSetModule& m : r.modules)
        modules.append(QJsonObject{{"module", q(kxNameAt(registry, m.module.item))},
                                   {"reported", number(m.reported)},
                                   {"confirmed", m.confirmed}});
    return QJsonObject{
        {"setting", row.name}, {"value", value}, {"permanent", permanent}, {"modules", modules}};
}

QJsonObject erasedJson(const std::vector<std::string>& names) {
    return QJsonObject{{"erased", stringList(names)}};
}

QJsonObject msCheckJson(const MsCheckResult& r, const ModuleRegistry& registry) {
    QJsonArray modules;
    for (const MasterSlaveAnswer& a : r.check.answers) {
        const char* mode = a.mode == 1 ? "master" : a.mode == 2 ? "slave" : "error";
        modules.append(QJsonObject{
            {"module", q(kxNameAt(registry, a.module))}, {"mode", mode}, {"value", a.mode}});
    }
    QJsonObject o{{"modules", modules}, {"masters", r.check.masterCount}};
    // A check that did not hear every module has no verdict.
    if (!r.failure || r.failure->error == OpError::Verdict) o.insert("verdict", q(r.check.verdict));
    return o;
}

std::string zrReportText(const std::vector<ZrReportItem>& items) {
    std::string text;
    for (const ZrReportItem& item : items) text += formatZrReportItem(item);
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

QJsonObject zrReportJson(int module, bool permanent, const std::string& text) {
    return QJsonObject{{"module", q(moduleNameText({ModuleFamily::ZR, module}))},
                       {"permanent", permanent},
                       {"report", q(text)}};
}

QJsonObject zrSetJson(const ZrSetResult& r, const std::string& setting, int value,
                      bool permanent) {
    QJsonArray modules;
    for (const ZrSetModule& m : r.modules)
        if (m.confirmed) modules.append(q(moduleNameText(m.module)));
    return QJsonObject{
        {"setting", q(setting)}, {"value", value}, {"permanent", permanent}, {"modules", modules}};
}

QJsonArray bitList(const VgBits& boxes) {
    QJsonArray out;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i]) out.append(static_cast<int>(i));
    return out;
}

QJsonObject vgSetJson(const std::string& unit, const VgRequest& request, const VgSetResult& r) {
    QJsonObject o{{"unit", q(unit)}};
    if (r.configSent && request.config)
        o.insert("config",
                 QJsonObject{{"bits", bitList(*request.config)}, {"permanent", request.permanent}});
    if (r.optionsSent && request.options)
        o.insert("options", QJsonObject{{"bits", bitList(*request.options)}});
    return o;
}

QJsonObject resetFaultJson() {
    return QJsonObject{{"sent", "Reset Fault"}};
}

QJsonObject functionTestJson(FunctionGroup group, int decoder, int block,
                             const std::array<bool, 8>& boxes) {
    return QJsonObject{{"group", kFunctionGroupNames[static_cast<std::size_t>(group)]},
                       {"decoder", decoder},
                       {"block", block},
                       {"on", stringList(functionsOn(group, boxes))}};
}

QJsonArray itemsJson(const std::vector<RunItem>& items) {
    QJsonArray out;
    for (const RunItem& i : items) {
        QJsonObject o{{"kind", kindName(i.kind)},
                      {"module", q(moduleNameOf(i.module, i.type))},
                      {"type", i.type == ModuleType::Unknown
                                   ? QString("")
                                   : q(std::string(moduleTypeName(i.type)))},
                      {"setting", i.setting.empty() ? QJsonValue() : q(i.setting)},
                      {"permanent", i.permanent},
                      {"file-value", number(i.fileValue)},
                      {"module-value", number(i.moduleValue)}};
        if (!i.reason.empty()) o.insert("reason", q(i.reason));
        if (i.readOnly) o.insert("read-only", true);
        out.append(o);
    }
    return out;
}

QJsonObject backupJson(const std::string& file, const BackupRun& run) {
    std::vector<RunItem> items = run.result.items;
    // Nothing is saved from a backup that was not written.
    if (!run.backup) std::erase_if(items, [](const RunItem& i) { return i.kind == ItemKind::Saved; });
    return QJsonObject{{"file", q(file)}, {"items", itemsJson(items)}};
}

QJsonObject runJson(const std::string& file, const RunResult& result, bool restore) {
    QJsonObject o{{"file", q(file)}, {"items", itemsJson(result.items)}};
    const bool skipped = std::any_of(result.items.begin(), result.items.end(),
                                     [](const RunItem& i) { return i.kind == ItemKind::Skipped; });
    if (restore && (!result.stopped.empty() || skipped)) {
        o.insert("written", summaryList(result.writtenSummary()));
        o.insert("not-written", summaryList(result.notWrittenSummary()));
    }
    return o;
}

RunPlace stopPlace(const RunResult& result) {
    for (auto i = result.items.rbegin(); i != result.items.rend(); ++i)
        if (i->kind == ItemKind::NotAnswered) return {moduleNameOf(i->module, i->type), i->setting};
    return {};
}

}  // namespace korvel::results
