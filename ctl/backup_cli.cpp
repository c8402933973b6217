// backup, restore and verify: every module's settings into a file, back onto
// the modules, or compared with them. "-" is standard output or input.
#include <fcntl.h>
#include <unistd.h>

#include <QDateTime>
#include <QJsonDocument>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

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

// The file a restore or verify reads: a path, or standard input for "-"; at
// most kMaxBackupBytes (`tooLarge` beyond), and a signal stops the read (a
// terminal, a pipe, /dev/zero).
std::optional<std::string> readBackup(const std::string& path, const Terminal& term,
                                      std::string& error, bool& tooLarge) {
    std::optional<std::string> text;
    if (path == "-" && !term.stdinStream) {
        error = "no standard input to read a backup from";
        return std::nullopt;
    } else if (path == "-" && !term.standardOutput) {
        text.emplace();
        char buffer[4096];
        while (text->size() <= kMaxBackupBytes &&
               term.stdinStream->read(buffer, sizeof buffer).gcount() > 0)
            text->append(buffer, static_cast<std::size_t>(term.stdinStream->gcount()));
        if (text->size() > kMaxBackupBytes) text = std::nullopt;
    } else if (path == "-") {
        text = readAll(STDIN_FILENO, kMaxBackupBytes, error);
    } else {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            error = "cannot read " + path + ": " + std::strerror(errno);
            return std::nullopt;
        }
        text = readAll(fd, kMaxBackupBytes, error);
        ::close(fd);
    }
    const std::string shown = path == "-" ? "standard input" : path;
    tooLarge = !text && error.empty();
    if (tooLarge)
        error = shown + ": larger than " + std::to_string(kMaxBackupBytes >> 20) +
                " MiB, which no backup is";
    else if (!text)
        error = "cannot read " + shown + ": " + error;
    return text;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : ", ") + p;
    return out;
}

// One line per module of a restore that stopped or skipped: what was written
// and read back, what was only sent, and what was not written.
std::vector<std::string> restoreSummary(const RunResult& r) {
    std::vector<std::string> lines;
    for (const PlannedModule& p : r.planned) {
        std::vector<std::string> written, sent, different;
        for (const RunItem& i : r.items) {
            if (moduleLabel(i.module, i.type) != p.label) continue;
            if (i.kind == ItemKind::Written) written.push_back(i.setting);
            if (i.kind == ItemKind::Sent) sent.push_back(i.setting);
            if (i.kind == ItemKind::Different && !i.readOnly) different.push_back(i.setting);
        }
        if (p.writes > 0 && written.size() >= p.writes) {
            lines.push_back(p.label + ": every setting written and read back");
            continue;
        }
        std::vector<std::string> parts;
        if (!written.empty()) parts.push_back("written and read back: " + joined(written));
        if (!sent.empty()) parts.push_back("sent, not read back: " + joined(sent));
        if (!different.empty()) parts.push_back("read back different: " + joined(different));
        const std::size_t reached = written.size() + sent.size() + different.size();
        if (p.writes == 0 || reached < p.writes)
            parts.push_back(reached == 0 ? "nothing written" : "the rest not written");
        std::string line = p.label + ": ";
        for (std::size_t k = 0; k < parts.size(); ++k) line += (k ? "; " : "") + parts[k];
        lines.push_back(line);
    }
    return lines;
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
        case ItemKind::Refused:
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
        c.out.lost = "; no backup written";
        // The backup travels inside the run's one object.
        c.out.result.insert("backup", QJsonDocument::fromJson(file).object());
    } else if (toOutput) {
        c.term.out << file.toStdString();
        c.out.lost = "; no backup written";
        if (!c.out.closeOutput()) return kExitFailed;
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
    bool tooLarge = false;
    const std::optional<std::string> text = readBackup(str(args[0]), term, error, tooLarge);
    if (!text) {
        if (stopSignal()) return std::nullopt;
        if (tooLarge) throw UsageError{error};
        out.fail(ErrorCode::File, error);
        return std::nullopt;
    }
    std::optional<Backup> b = fromJson(QByteArray::fromStdString(*text), error);
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

// Values of the file the page could not send, each named, refuse the whole
// restore before anything is sent; returns the exit status, or 0 to go on.
int refuseValues(Command& c, const std::vector<RunItem>& plan) {
    bool refused = false;
    for (const RunItem& i : plan) {
        if (i.kind != ItemKind::Refused) continue;
        refused = true;
        c.out.fail(ErrorCode::Usage,
                   moduleLabel(i.module, i.type) + ": " + i.setting + " = " +
                       std::to_string(*i.fileValue) + " in the file, the page sends " + i.allowed,
                   moduleNameOf(i.module, i.type), i.setting);
    }
    if (!refused) return 0;
    return c.out.fail(ErrorCode::Usage,
                      "nothing written: --allow-any-value writes values the page could not send");
}

int restoreCommand(Command& c, const QStringList& args) {
    const std::optional<std::vector<RestoreTarget>> targets = c.fileTargets(
        args, "restore FILE [--only MODULE...] [--map OLD=NEW...] [--dry-run] [--allow-any-value]");
    if (!targets) return kExitFailed;
    const FileValues values =
        c.isSet("allow-any-value") ? FileValues::AnyValue : FileValues::PageRange;
    const auto planLine = [&c](const RunItem& i) {
        std::string note;
        if (i.readOnly)
            note = " (read back, not written)";
        else if (i.kind == ItemKind::Refused)
            note = " (refused: the page sends " + i.allowed + ")";
        else if (!i.allowed.empty())
            note = " (outside the page's " + i.allowed + ")";
        c.out.line(moduleNameOf(i.module, i.type) + ' ' + i.setting + " = " +
                   std::to_string(*i.fileValue) + note);
    };
    // A value the page could not send is refused before anything is sent, dry run or not.
    const std::vector<RunItem> filePlan = restorePlan(*targets, values);
    if (std::ranges::any_of(filePlan, [](const RunItem& i) { return i.kind == ItemKind::Refused; })) {
        if (c.isSet("dry-run"))
            for (const RunItem& i : filePlan) planLine(i);
        c.out.take(QJsonObject{{"items", results::itemsJson(filePlan)}});
        return refuseValues(c, filePlan);
    }
    OpenLine guard{c.link};
    if (!c.openWithStatus()) return c.stopped(kExitFailed);
    if (c.isSet("dry-run")) {
        // What the run would do on this system: its status decides what is skipped.
        std::vector<RestoreTarget> fitting;
        std::vector<RunItem> plan;
        for (const RestoreTarget& t : *targets) {
            if (std::optional<RunItem> skipped = skippedNow(c.bus.registry(), t))
                plan.push_back(std::move(*skipped));
            else
                fitting.push_back(t);
        }
        for (const RunItem& i : restorePlan(fitting, values)) {
            planLine(i);
            plan.push_back(i);
        }
        for (const RunItem& i : plan) c.tellItem(i, false);
        c.out.take(QJsonObject{{"items", results::itemsJson(plan)}});
        return fitting.size() == targets->size() ? kExitOk : kExitFailed;
    }
    c.runControl("restore");
    const RunResult result = restore(c.bus, *targets, values);
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
        for (const std::string& line : restoreSummary(result)) c.out.warn(line);
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
