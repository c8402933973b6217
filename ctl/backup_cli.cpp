// backup, restore and verify: every module's settings into a file, back onto
// the modules, or compared with them. "-" is standard output or input.
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <csignal>
#include <iterator>

#include "backup/backup_file.h"
#include "backup/safe_file.h"
#include "ctl/command.h"
#include "ctl/handlers.h"
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
    bus.stopRequest = []() -> std::string {
        if (const int signal = stopSignal()) return signal == SIGINT ? "interrupted" : "terminated";
        return {};
    };
    if (term.progress && !out.quiet())
        bus.progress = [this, what, last = std::string()](const RunProgress& p) mutable {
            if (p.module.empty() || p.module == last) return;
            last = p.module;
            out.note(std::string(what) + ": " + p.module + ", setting " +
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
                out.note(name + ": " + setting + " is " + std::to_string(*i.moduleValue) + ", " +
                         i.reason);
            return;
        case ItemKind::Skipped:
            out.fail(ErrorCode::Skipped,
                     name + ": " + i.reason + "; " +
                         (i.setting.empty() && i.type == ModuleType::Unknown ? "not backed up"
                                                                             : "skipped"),
                     module);
            return;
        case ItemKind::NotAnswered:
            out.fail(ErrorCode::NoAnswer,
                     name + ": " + (i.setting.empty() ? i.reason : "no answer to " + setting),
                     module, i.setting);
            return;
        case ItemKind::Different: {
            const std::string line = name + ": " + i.setting + " is " +
                                     std::to_string(*i.moduleValue) + ", the file holds " +
                                     std::to_string(*i.fileValue);
            if (differencesAreResults) out.line(line);
            out.fail(ErrorCode::Differences, line, module, i.setting, !differencesAreResults);
            return;
        }
        case ItemKind::Equal:
        case ItemKind::Written:
        case ItemKind::Sent:
        case ItemKind::Planned:
            return;
    }
}

int backupCommand(Command& c, const QStringList& args) {
    expectArguments(args, 1, "backup FILE");
    const std::string path = str(args[0]);
    const bool toOutput = path == "-";
    if (const std::string why = toOutput ? "" : unwritableFolder(path); !why.empty())
        return c.out.fail(ErrorCode::File, why + "; no backup written");
    OpenLine guard{c.link};
    if (!c.open()) return kExitFailed;
    const std::optional<StatusFacts> report = c.status();
    if (!report) return c.stopped(kExitFailed);
    // A backup holds every module there is, or is not written.
    std::erase_if(c.lost, [](const std::string& m) { return m.starts_with("qh:"); });
    if (c.reportLost("; no backup written")) return kExitFailed;
    c.runControl("backup");
    const BackupRun run = takeBackup(
        c.bus, *report, QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString());
    for (const RunItem& i : run.result.items) c.tellItem(i, false);
    c.out.take(results::backupJson(path, run));
    if (!run.backup) {
        if (stopSignal()) c.out.fail(ErrorCode::Stopped, "backup " + run.result.stopped);
        c.out.fail(ErrorCode::NoAnswer, "no backup written");
        return c.stopped(kExitFailed);
    }
    const QByteArray file = toJson(*run.backup);
    const std::string saved = counted(run.backup->modules.size(), "module") + " saved";
    if (toOutput && c.out.json()) {
        // The backup travels inside the run's one object.
        c.out.result.insert("backup", QJsonDocument::fromJson(file).object());
    } else if (toOutput) {
        c.term.out << file.toStdString();
        c.out.note(saved + " on standard output");
        return kExitOk;
    } else if (const std::string why = replaceFile(path, file.toStdString()); !why.empty()) {
        return c.out.fail(ErrorCode::File, why + "; no backup written");
    }
    c.out.line(saved + " in " + path);
    return kExitOk;
}

// The backup a restore or verify reads; nullopt when it cannot be read, a
// usage error when it is no backup.
std::optional<Backup> Command::readBackupFile(const QStringList& args, const char* usage) {
    // MODULE... after --only: the names that follow it are positional to the parser.
    if (args.isEmpty() || (args.size() > 1 && !isSet("only")))
        throw UsageError{std::string("usage: korvelctl ") + usage};
    std::string error;
    const std::optional<QByteArray> text = readBackup(str(args[0]), term, error);
    if (!text) {
        out.fail(ErrorCode::File, error);
        return std::nullopt;
    }
    std::optional<Backup> b = fromJson(*text, error);
    if (!b) throw UsageError{str(args[0]) + ": " + error};
    out.result.insert("file", args[0]);
    return b;
}

// The file's modules a restore or verify runs on, after --only and --map,
// checked before anything is sent; nullopt when the file could not be read.
// The targets point into `file`, which lives as long as the command.
std::optional<std::vector<RestoreTarget>> Command::fileTargets(const QStringList& args,
                                                               const char* usage) {
    file = readBackupFile(args, usage);
    if (!file) return std::nullopt;
    std::string error;
    std::optional<std::vector<RestoreTarget>> targets =
        restoreTargets(*file, listValues(parser.values("only") + args.mid(1)),
                       listValues(parser.values("map")), error);
    if (!targets) throw UsageError{error};
    return targets;
}

int restoreCommand(Command& c, const QStringList& args) {
    const std::optional<std::vector<RestoreTarget>> targets =
        c.fileTargets(args, "restore FILE [--only MODULE...] [--map OLD=NEW...] [--dry-run]");
    if (!targets) return kExitFailed;
    if (c.isSet("dry-run")) {
        const std::vector<RunItem> plan = restorePlan(*targets);
        for (const RunItem& i : plan)
            c.out.line(moduleNameOf(i.module, i.type) + ' ' + i.setting + " = " +
                       std::to_string(*i.fileValue) +
                       (i.readOnly ? " (read back, not written)" : ""));
        c.out.take(QJsonObject{{"items", results::itemsJson(plan)}});
        return kExitOk;
    }
    OpenLine guard{c.link};
    if (!c.openWithStatus()) return c.stopped(kExitFailed);
    c.runControl("restore");
    const RunResult result = restore(c.bus, *targets);
    c.out.take(results::runJson(str(args[0]), result, true));
    bool skipped = false;
    for (const RunItem& i : result.items) {
        if (!result.stopped.empty() && i.kind == ItemKind::NotAnswered) continue;
        skipped = skipped || i.kind == ItemKind::Skipped;
        c.tellItem(i, false);
    }
    if (!result.stopped.empty())
        c.out.fail(stopSignal() ? ErrorCode::Stopped : ErrorCode::NoAnswer,
                   "restore stopped: " + result.stopped, results::stopPlace(result).module,
                   results::stopPlace(result).setting);
    // A restore that stopped or skipped modules says what it did put back.
    if (!result.stopped.empty() || skipped) {
        c.out.warn("written: " + result.writtenSummary());
        c.out.warn("not written: " + result.notWrittenSummary());
    }
    if (!result.stopped.empty()) return c.stopped(kExitFailed);
    if (!result.whole()) return kExitFailed;
    c.out.line(counted(targets->size(), "module") + " restored, every setting read back equal");
    return kExitOk;
}

int verifyCommand(Command& c, const QStringList& args) {
    const std::optional<std::vector<RestoreTarget>> targets =
        c.fileTargets(args, "verify FILE [--only MODULE...] [--map OLD=NEW...]");
    if (!targets) return kExitFailed;
    OpenLine guard{c.link};
    if (!c.openWithStatus()) return c.stopped(kExitFailed);
    c.runControl("verify");
    const RunResult result = verify(c.bus, *targets);
    c.out.take(results::runJson(str(args[0]), result, false));
    std::size_t equal = 0, different = 0;
    for (const RunItem& i : result.items) {
        equal += i.kind == ItemKind::Equal;
        different += i.kind == ItemKind::Different;
        c.tellItem(i, true);
    }
    if (!result.stopped.empty()) {
        c.out.fail(stopSignal() ? ErrorCode::Stopped : ErrorCode::NoAnswer,
                   "verify stopped: " + result.stopped, results::stopPlace(result).module,
                   results::stopPlace(result).setting);
        return c.stopped(kExitFailed);
    }
    const std::string file = args[0] == "-" ? "standard input" : str(args[0]);
    if (different > 0)
        c.out.warn(counted(different, "setting") + (different == 1 ? " differs" : " differ") +
                   " from " + file);
    if (!result.whole()) return kExitFailed;
    c.out.line(counted(equal, "setting") + " of " + counted(targets->size(), "module") +
               " equal to " + file);
    return kExitOk;
}

}  // namespace korvel::ctl
