// backup and restore: every module's settings into a file and back.
#include <QFile>

#include "ctl/backup_restore.h"
#include "ctl/command.h"
#include "ctl/safe_file.h"

namespace korvel::ctl {

namespace {

std::vector<std::string> listValues(const QStringList& values) {
    std::vector<std::string> out;
    for (const QString& v : values)
        for (const QString& part : v.split(',', Qt::SkipEmptyParts)) out.push_back(str(part));
    return out;
}

}  // namespace

int Command::backup(const QStringList& args) {
    expectArguments(args, 1, "backup FILE");
    const std::string path = str(args[0]);
    if (const std::string why = unwritableFolder(path); !why.empty())
        return out_.fail(ErrorCode::File, why + "; no backup written");
    OpenLine guard{link_};
    if (!open()) return kExitFailed;
    const std::optional<StatusFacts> report = status();
    if (!report) return stopped(kExitFailed);
    // A backup holds every module there is, or is not written.
    std::erase_if(lost_, [](const std::string& m) { return m.starts_with("qh:"); });
    if (reportLost("; no backup written")) return kExitFailed;
    const std::optional<Backup> b = takeBackup(link_, registry_, *report, term_, retries_);
    if (!b) {
        out_.fail(ErrorCode::NoAnswer, "no backup written");
        return stopped(kExitFailed);
    }
    if (const std::string why = replaceFile(path, toJson(*b).toStdString()); !why.empty())
        return out_.fail(ErrorCode::File, why + "; no backup written");
    out_.line(std::to_string(b->modules.size()) + " modules saved in " + path);
    return kExitOk;
}

int Command::restoreCommand(const QStringList& args) {
    // MODULE... after --only: the names that follow it are positional to the parser.
    if (args.isEmpty() || (args.size() > 1 && !isSet("only")))
        throw UsageError{
            "usage: korvelctl restore FILE [--only MODULE...] [--map OLD=NEW...] [--dry-run]"};
    QFile file(args[0]);
    if (!file.open(QIODevice::ReadOnly))
        return out_.fail(ErrorCode::File,
                         "cannot read " + str(args[0]) + ": " + str(file.errorString()));
    std::string error;
    const std::optional<Backup> b = fromJson(file.readAll(), error);
    if (!b) throw UsageError{str(args[0]) + ": " + error};
    const std::optional<std::vector<RestoreTarget>> targets =
        restoreTargets(*b, listValues(parser_.values("only") + args.mid(1)),
                       listValues(parser_.values("map")), error);
    if (!targets) throw UsageError{error};
    if (isSet("dry-run")) {
        printRestorePlan(*targets, term_);
        return kExitOk;
    }
    OpenLine guard{link_};
    if (!open()) return kExitFailed;
    if (!status()) return stopped(kExitFailed);
    const RestoreResult result = restore(link_, registry_, *targets, term_, retries_);
    if (result.stopped) return stopped(kExitFailed);
    if (!result.whole()) return out_.fail(ErrorCode::Differences, "the restore is not whole");
    out_.line(std::to_string(targets->size()) + " modules restored, every setting read back equal");
    return kExitOk;
}

}  // namespace korvel::ctl
