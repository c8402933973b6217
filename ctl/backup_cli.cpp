// backup, restore and verify: every module's settings into a file, back onto
// the modules, or compared with them. "-" is standard output or input.
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <csignal>
#include <iterator>

#include "backup/backup_file.h"
#include "backup/safe_file.h"
#include "ctl/command.h"
#include "ctl/stop_signal.h"
#include "service/number_text.h"

namespace korvel::ctl {

using namespace korvel::ops;
using korvel::backup::fromJson;
using korvel::backup::replaceFile;
using korvel::backup::toJson;
using korvel::backup::unwritableFolder;

namespace {

std::vector<std::string> listValues(const QStringList& values) {
    std::vector<std::string> out;
    for (const QString& v : values)
        for (const QString& part : v.split(',', Qt::SkipEmptyParts)) out.push_back(str(part));
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

QJsonValue number(const std::optional<int>& v) {
    return v ? QJsonValue(*v) : QJsonValue();
}

QJsonArray itemsJson(const std::vector<RunItem>& items) {
    QJsonArray out;
    for (const RunItem& i : items) {
        QJsonObject o{
            {"kind", kindName(i.kind)},
            {"module", QString::fromStdString(moduleNameOf(i.module, i.type))},
            {"type", i.type == ModuleType::Unknown
                         ? QString("")
                         : QString::fromStdString(std::string(moduleTypeName(i.type)))},
            {"setting", i.setting.empty() ? QJsonValue() : QString::fromStdString(i.setting)},
            {"permanent", i.permanent},
            {"file-value", number(i.fileValue)},
            {"module-value", number(i.moduleValue)}};
        if (!i.reason.empty()) o.insert("reason", QString::fromStdString(i.reason));
        if (i.readOnly) o.insert("read-only", true);
        out.append(o);
    }
    return out;
}

// The file a restore or verify reads: a path, or standard input for "-".
std::optional<QByteArray> readBackup(const std::string& path, const Terminal& term,
                                     std::string& error) {
    if (path == "-") {
        if (!term.stdinStream) {
            error = "no standard input to read a backup from";
            return std::nullopt;
        }
        return QByteArray::fromStdString(
            std::string(std::istreambuf_iterator<char>(*term.stdinStream), {}));
    }
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot read " + path + ": " + str(file.errorString());
        return std::nullopt;
    }
    return file.readAll();
}

}  // namespace

// How a run reports where it is (on a watched terminal) and stops for a signal.
void Command::runControl(const char* what) {
    bus_.stopRequest = []() -> std::string {
        if (const int signal = stopSignal()) return signal == SIGINT ? "interrupted" : "terminated";
        return {};
    };
    if (term_.progress && !out_.quiet())
        bus_.progress = [this, what, last = std::string()](const RunProgress& p) mutable {
            if (p.module.empty() || p.module == last) return;
            last = p.module;
            out_.note(std::string(what) + ": " + p.module + ", setting " +
                      std::to_string(p.done + 1) + " of " + std::to_string(p.total));
        };
}

// A line on standard error for an item that is not plainly saved, equal or
// written; a verify prints its differences as its result instead.
void Command::tellItem(const RunItem& i, bool differencesAreResults) {
    const std::string name = moduleLabel(i.module, i.type);
    const std::string module = moduleNameOf(i.module, i.type);
    const std::string setting = i.setting.empty()
                                    ? std::string()
                                    : i.setting + (i.permanent ? " (permanent)" : " (active)");
    switch (i.kind) {
        case ItemKind::Saved:
            if (!i.reason.empty())
                out_.note(name + ": " + setting + " is " + std::to_string(*i.moduleValue) + ", " +
                          i.reason);
            return;
        case ItemKind::Skipped:
            out_.fail(ErrorCode::Skipped,
                      name + ": " + i.reason + "; " +
                          (i.setting.empty() && i.type == ModuleType::Unknown ? "not backed up" : "skipped"),
                      module);
            return;
        case ItemKind::NotAnswered:
            out_.fail(ErrorCode::NoAnswer,
                      name + ": " + (i.setting.empty() ? i.reason : "no answer to " + setting),
                      module, i.setting);
            return;
        case ItemKind::Different: {
            const std::string line = name + ": " + i.setting + " is " +
                                     std::to_string(*i.moduleValue) + ", the file holds " +
                                     std::to_string(*i.fileValue);
            if (differencesAreResults) out_.line(line);
            out_.fail(ErrorCode::Differences, line, module, i.setting, !differencesAreResults);
            return;
        }
        case ItemKind::Equal:
        case ItemKind::Written:
        case ItemKind::Sent:
        case ItemKind::Planned:
            return;
    }
}

int Command::backup(const QStringList& args) {
    expectArguments(args, 1, "backup FILE");
    const std::string path = str(args[0]);
    const bool toOutput = path == "-";
    if (const std::string why = toOutput ? "" : unwritableFolder(path); !why.empty())
        return out_.fail(ErrorCode::File, why + "; no backup written");
    OpenLine guard{link_};
    if (!open()) return kExitFailed;
    const std::optional<StatusFacts> report = status();
    if (!report) return stopped(kExitFailed);
    // A backup holds every module there is, or is not written.
    std::erase_if(lost_, [](const std::string& m) { return m.starts_with("qh:"); });
    if (reportLost("; no backup written")) return kExitFailed;
    runControl("backup");
    const BackupRun run = takeBackup(
        bus_, *report, QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString());
    for (const RunItem& i : run.result.items) tellItem(i, false);
    out_.result.insert("file", QString::fromStdString(path));
    out_.result.insert("items", itemsJson(run.result.items));
    if (!run.backup) {
        if (stopSignal()) out_.fail(ErrorCode::Stopped, "backup " + run.result.stopped);
        out_.fail(ErrorCode::NoAnswer, "no backup written");
        return stopped(kExitFailed);
    }
    const QByteArray file = toJson(*run.backup);
    const std::string saved = counted(run.backup->modules.size(), "module") + " saved";
    if (toOutput && out_.json()) {
        // The backup travels inside the run's one object.
        out_.result.insert("backup", QJsonDocument::fromJson(file).object());
    } else if (toOutput) {
        term_.out << file.toStdString();
        out_.note(saved + " on standard output");
        return kExitOk;
    } else if (const std::string why = replaceFile(path, file.toStdString()); !why.empty()) {
        return out_.fail(ErrorCode::File, why + "; no backup written");
    }
    out_.line(saved + " in " + path);
    return kExitOk;
}

// The backup a restore or verify reads; nullopt when it cannot be read, a
// usage error when it is no backup.
std::optional<Backup> Command::readBackupFile(const QStringList& args, const char* usage) {
    // MODULE... after --only: the names that follow it are positional to the parser.
    if (args.isEmpty() || (args.size() > 1 && !isSet("only")))
        throw UsageError{std::string("usage: korvelctl ") + usage};
    std::string error;
    const std::optional<QByteArray> text = readBackup(str(args[0]), term_, error);
    if (!text) {
        out_.fail(ErrorCode::File, error);
        return std::nullopt;
    }
    std::optional<Backup> b = fromJson(*text, error);
    if (!b) throw UsageError{str(args[0]) + ": " + error};
    out_.result.insert("file", args[0]);
    return b;
}

// The file's modules a restore or verify runs on, after --only and --map,
// checked before anything is sent; nullopt when the file could not be read.
// The targets point into `file_`, which lives as long as the command.
std::optional<std::vector<RestoreTarget>> Command::fileTargets(const QStringList& args,
                                                               const char* usage) {
    file_ = readBackupFile(args, usage);
    if (!file_) return std::nullopt;
    std::string error;
    std::optional<std::vector<RestoreTarget>> targets =
        restoreTargets(*file_, listValues(parser_.values("only") + args.mid(1)),
                       listValues(parser_.values("map")), error);
    if (!targets) throw UsageError{error};
    return targets;
}

int Command::restoreCommand(const QStringList& args) {
    const std::optional<std::vector<RestoreTarget>> targets =
        fileTargets(args, "restore FILE [--only MODULE...] [--map OLD=NEW...] [--dry-run]");
    if (!targets) return kExitFailed;
    if (isSet("dry-run")) {
        const std::vector<RunItem> plan = restorePlan(*targets);
        for (const RunItem& i : plan)
            out_.line(moduleNameOf(i.module, i.type) + ' ' + i.setting + " = " +
                      std::to_string(*i.fileValue) +
                      (i.readOnly ? " (read back, not written)" : ""));
        out_.result.insert("items", itemsJson(plan));
        return kExitOk;
    }
    OpenLine guard{link_};
    if (!open()) return kExitFailed;
    if (!status()) return stopped(kExitFailed);
    runControl("restore");
    const RunResult result = restore(bus_, *targets);
    out_.result.insert("items", itemsJson(result.items));
    bool skipped = false;
    for (const RunItem& i : result.items) {
        if (!result.stopped.empty() && i.kind == ItemKind::NotAnswered) continue;
        skipped = skipped || i.kind == ItemKind::Skipped;
        tellItem(i, false);
    }
    if (!result.stopped.empty())
        out_.fail(stopSignal() ? ErrorCode::Stopped : ErrorCode::NoAnswer,
                  "restore stopped: " + result.stopped);
    // A restore that stopped or skipped modules says what it did put back.
    if (!result.stopped.empty() || skipped) {
        out_.warn("written: " + result.writtenSummary());
        out_.warn("not written: " + result.notWrittenSummary());
        out_.result.insert("written", QString::fromStdString(result.writtenSummary()));
        out_.result.insert("not-written", QString::fromStdString(result.notWrittenSummary()));
    }
    if (!result.stopped.empty()) return stopped(kExitFailed);
    if (!result.whole()) return kExitFailed;
    out_.line(counted(targets->size(), "module") + " restored, every setting read back equal");
    return kExitOk;
}

int Command::verifyCommand(const QStringList& args) {
    const std::optional<std::vector<RestoreTarget>> targets =
        fileTargets(args, "verify FILE [--only MODULE...] [--map OLD=NEW...]");
    if (!targets) return kExitFailed;
    OpenLine guard{link_};
    if (!open()) return kExitFailed;
    if (!status()) return stopped(kExitFailed);
    runControl("verify");
    const RunResult result = verify(bus_, *targets);
    out_.result.insert("items", itemsJson(result.items));
    std::size_t equal = 0, different = 0;
    for (const RunItem& i : result.items) {
        equal += i.kind == ItemKind::Equal;
        different += i.kind == ItemKind::Different;
        tellItem(i, true);
    }
    if (!result.stopped.empty()) {
        out_.fail(stopSignal() ? ErrorCode::Stopped : ErrorCode::NoAnswer,
                  "verify stopped: " + result.stopped);
        return stopped(kExitFailed);
    }
    const std::string file = args[0] == "-" ? "standard input" : str(args[0]);
    if (different > 0)
        out_.warn(counted(different, "setting") + (different == 1 ? " differs" : " differ") +
                  " from " + file);
    if (!result.whole()) return kExitFailed;
    out_.line(counted(equal, "setting") + " of " + counted(targets->size(), "module") +
              " equal to " + file);
    return kExitOk;
}

}  // namespace korvel::ctl
