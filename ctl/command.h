#pragma once

#include <QCommandLineParser>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "ctl/cli.h"
#include "ctl/command_table.h"
#include "ctl/output.h"
#include "ctl/terminal.h"
#include "ops/bus.h"
#include "ops/system_runs.h"

namespace korvel::ctl {

// A mistake on the command line, found before anything is sent.
struct UsageError {
    std::string message;
};

inline std::string str(const QString& s) {
    return s.toStdString();
}

// Closes the port when the command ends, however it ends.
struct OpenLine {
    Link& link;
    ~OpenLine() {
        if (link.port().isOpen()) link.port().close();
    }
};

// One run of one command: the line, the bus a status request fills, and where
// the results go. The command table's row names the handler that runs it;
// each command family's handlers live in their own file.
class Command {
  public:
    Command(QCommandLineParser& parser, LineAccess& line, const Terminal& term, Output& out);

    // The command's arguments after its own words.
    int run(const CommandEntry& entry, const QStringList& args);

    // Opens the port of -p, KORVEL_PORT or --demo; false after saying why.
    bool open();
    // open(), then the status request; false after saying why.
    bool openWithStatus();
    std::optional<StatusFacts> status(bool classic = false);
    bool reportLost(const std::string& consequence);
    // The exit of a run that ended early: 128 + the signal that stopped it, if one did.
    int stopped(int exit);
    // True once the user confirmed an erase: --yes, or "erase" typed on a terminal.
    bool confirmErase(const std::string& what);
    // Says an operation's failure in the command line's words, naming `what`
    // was asked; returns the exit status.
    int failed(const ops::OpFailure& failure, const std::string& what = {});
    int notRegistered(const char* kind, const QString& given, const ops::ModuleName& module,
                      const std::string& consequence = {});
    // Why the status request did not register a module: absent, or unanswered.
    std::string whyUnregistered(const ops::ModuleName& module) const;
    bool isSet(const char* option) const { return parser.isSet(option); }
    std::string value(const char* option) const { return str(parser.value(option)); }

    std::optional<ops::Backup> readBackupFile(const QStringList& args, const char* usage);
    std::optional<std::vector<ops::RestoreTarget>> fileTargets(const QStringList& args,
                                                               const char* usage);
    // How a run reports where it is (on a watched terminal) and stops for a signal.
    void runControl(const char* what);
    void tellItem(const ops::RunItem& item, bool differencesAreResults);

    QCommandLineParser& parser;
    LineAccess& line;
    const Terminal& term;
    Output& out;
    TerminalLog log{term};
    NoPolling poll;
    ops::Bus bus;
    Link& link = bus.link();
    std::vector<std::string> lost;    // modules whose status answer was lost
    std::optional<ops::Backup> file;  // the backup a restore or verify reads
};

void expectArguments(const QStringList& args, int count, const std::string& usage);

}  // namespace korvel::ctl
