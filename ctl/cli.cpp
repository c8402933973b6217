#include "ctl/cli.h"

#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>
#include <csignal>
#include <iomanip>
#include <map>
#include <set>
#include <thread>

#include "backup/backup_run.h"
#include "backup/kx_setting_table.h"
#include "backup/module_io.h"
#include "backup/safe_file.h"
#include "ctl/status_output.h"
#include "ctl/stop_signal.h"
#include "net_serial/net_address.h"
#include "service/dispatch.h"
#include "service/ports.h"
#include "service/prompter.h"
#include "status/module_lists.h"
#include "wire_words/log_lines.h"

namespace korvel::ctl {

using namespace korvel::backup;

namespace {

const char* const kDescription =
    "Talks to the bus controller of a Korvel control system over a serial port, as\n"
    "KorvelConfig does, from a terminal.\n"
    "\n"
    "Commands:\n"
    "  ports                    The port numbers that can be opened, with their\n"
    "                           devices.\n"
    "  status                   The status request: the controller's versions and\n"
    "                           status, then every module that answered with its\n"
    "                           type, state and version (--classic, --json).\n"
    "  kx get MODULE SETTING    The value a KX module reports (--permanent).\n"
    "                           MODULE is 0-15, or 2.0 and 2.1 for the halves of a\n"
    "                           KX44. SETTING is hfi, alarm-delay [--on],\n"
    "                           switch-delay [--on] [--bank 1], dc-shift, pwm, ocd,\n"
    "                           ms, power, loop-current [--loop B] or address.\n"
    "  kx set MODULE SETTING VALUE\n"
    "                           Writes a setting and says whether the module\n"
    "                           confirmed it (--permanent). MODULE may also be a\n"
    "                           group: All_KXxx, All_KX44, All_KX-H or All_WOBE.\n"
    "  zr report MODULE         The configuration report of ZR32 module 0-7\n"
    "                           (--permanent).\n"
    "  backup FILE              Every setting of every KX and ZR32 module, active\n"
    "                           and permanent, into a JSON file.\n"
    "  monitor                  Polls as the window does and prints every message\n"
    "                           the controller held, in words (--json: JSON Lines),\n"
    "                           until Ctrl+C.\n"
    "  restore FILE             Writes the permanent settings of the file back and\n"
    "                           reads each one back (--only MODULE..., --map\n"
    "                           OLD=NEW..., --dry-run). Modules are named kx:5,\n"
    "                           kx:2.1, zr:1.\n"
    "\n"
    "Exit status: 0 success, 1 the controller or a module did not answer or a\n"
    "restore found differences, 2 a usage error.";

struct CommandInfo {
    const char* name;
    std::set<QString> options;
    bool needsLine;
};

const CommandInfo kCommands[] = {
    {"ports", {}, false},
    {"monitor", {"json"}, true},
    {"status", {"classic", "json"}, true},
    {"kx", {"permanent", "on", "bank", "loop"}, true},
    {"zr", {"permanent"}, true},
    {"backup", {}, true},
    {"restore", {"only", "map", "dry-run"}, true},
};
const std::set<QString> kGlobalOptions{"p",       "port",    "demo", "help",   "V",
                                       "version", "retries", "v",    "verbose"};
// A read that got no answer is asked again this many times, unless --retries says otherwise.
constexpr int kDefaultRetries = 2;
constexpr int kMaxRetries = 20;
// As the window's poll timer.
constexpr std::chrono::milliseconds kPollInterval{50};

struct UsageError {
    std::string message;
};

std::string str(const QString& s) {
    return s.toStdString();
}

// Closes the port when the command ends, however it ends.
struct OpenLine {
    Link& link;
    ~OpenLine() {
        if (link.port().isOpen()) link.port().close();
    }
};

class Command {
  public:
    Command(QCommandLineParser& parser, LineAccess& line, const Terminal& term)
        : parser_(parser),
          line_(line),
          term_(term),
          prompter_(term),
          link_(line.port(), line.clock(), log_, poll_) {
        // Each command says what went unanswered in its own words; a lost line
        // is said once, with its cause.
        link_.setFailureListener([this](ExchangeOutcome outcome, const std::string& detail) {
            if (outcome == ExchangeOutcome::LineLost)
                term_.message("the line was lost" + (detail.empty() ? "" : ": " + detail));
        });
    }

    int run(const CommandInfo& info, const QStringList& args);

  private:
    bool open();
    std::optional<StatusFacts> status(bool classic = false);
    int ports();
    int printStatus();
    int kx(const QStringList& args);
    int kxGet(int item, const KxSettingName& row, bool permanent);
    int kxSet(std::int32_t target, const KxSettingName& row, int value, bool permanent);
    int zrReport(const QStringList& args);
    int backup(const QStringList& args);
    int restoreCommand(const QStringList& args);
    int stopped(int exit) const;
    RunControl runControl(const char* what);
    void tellItem(const RunItem& item) const;
    int monitor();
    bool reportLost(const std::string& consequence) const;
    const KxSettingName& settingArgument(const QString& name);
    std::int32_t kxTarget(const QString& text);

    QCommandLineParser& parser_;
    LineAccess& line_;
    const Terminal& term_;
    TerminalPrompter prompter_;
    TerminalLog log_{term_};
    NoPolling poll_;
    Link link_;
    ModuleRegistry registry_;
    int retries_ = kDefaultRetries;
    std::vector<std::string> lost_;  // modules whose status answer was lost
};

void checkOffered(const KxSettingName& row, const KxPageState& page, bool set) {
    if (!offeredOn(row, page))
        throw UsageError{std::string(row.name) + " is not a setting of a " + page.kxTypeCaption};
    if (set && !settableOn(row, page))
        throw UsageError{std::string(row.name) + " of a " + page.kxTypeCaption +
                         " can be read, not set"};
}

void expectArguments(const QStringList& args, int count, const char* usage) {
    if (args.size() != count) throw UsageError{std::string("usage: korvelctl ") + usage};
}

bool Command::open() {
    if (parser_.isSet("demo") == parser_.isSet("port"))
        throw UsageError{"give either -p PORT or --demo"};
    const std::string value = str(parser_.value("port"));
    if (!parser_.isSet("demo") && !value.starts_with('/') && !net::parseNetAddress(value)) {
        std::size_t used = 0;
        int n = 0;
        try {
            n = std::stoi(value, &used);
        } catch (const std::exception&) {
        }
        if (used != value.size() || n < kFirstPort || n > kLastPort)
            throw UsageError{
                "-p takes a port number 1..16, a device path, tcp://HOST:PORT or "
                "rfc2217://HOST:PORT, not \"" +
                value + "\""};
    }
    return PickPort(link_, prompter_, portEntryText(line_.choose(value, parser_.isSet("demo"))));
}

std::optional<StatusFacts> Command::status(bool classic) {
    std::optional<StatusFacts> report =
        RequestStatus(link_, StatusOptions{.classicRequested = classic, .retries = retries_});
    if (!report) term_.message("the status request did not complete");
    if (report) registerModules(registry_, *report);
    if (report) lost_ = notAnswering(*report);
    return report;
}

// Says which modules' status answers were lost; true when there are such.
bool Command::reportLost(const std::string& consequence) const {
    if (lost_.empty()) return false;
    std::string names;
    for (const std::string& m : lost_) names += (names.empty() ? "" : ", ") + m;
    term_.message(names + (lost_.size() == 1 ? " did" : " did") + " not answer the status request" +
                  consequence);
    return true;
}

int Command::ports() {
    for (int n : FillPortList(line_.port())) {
        std::string about = line_.port().describePort(n);
        for (std::size_t at; (at = about.find('\n')) != std::string::npos;)
            about.replace(at, 1, "; ");
        term_.out << std::setw(2) << n << "  " << about << '\n';
    }
    return kExitOk;
}

int Command::printStatus() {
    const std::optional<StatusFacts> report = status(parser_.isSet("classic"));
    if (!report) return kExitFailed;
    if (parser_.isSet("json"))
        writeStatusJson(*report, term_.out);
    else
        writeStatusText(*report, term_.out);
    return reportLost("") ? kExitFailed : kExitOk;
}

const KxSettingName& Command::settingArgument(const QString& name) {
    std::string full = str(name);
    if (parser_.isSet("on")) full += " --on";
    if (parser_.isSet("bank") && parser_.value("bank") != "0")
        full += " --bank " + str(parser_.value("bank"));
    if (parser_.isSet("loop") && parser_.value("loop").toUpper() != "A")
        full += " --loop " + str(parser_.value("loop").toUpper());
    if (const KxSettingName* row = findKxSetting(full)) return *row;
    std::string known;
    for (const KxSettingName& r : kxSettingRows())
        known += (known.empty() ? "" : ", ") + std::string(r.name);
    throw UsageError{"no KX setting \"" + full + "\"; there are: " + known};
}

// A single module's item data, or a group's code.
std::int32_t Command::kxTarget(const QString& text) {
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

int Command::kx(const QStringList& args) {
    if (args.size() < 2 || (args[1] != "get" && args[1] != "set"))
        throw UsageError{"usage: korvelctl kx get MODULE SETTING | kx set MODULE SETTING VALUE"};
    const bool set = args[1] == "set";
    expectArguments(
        args, set ? 5 : 4,
        set ? "kx set MODULE SETTING VALUE [--permanent]" : "kx get MODULE SETTING [--permanent]");
    const std::int32_t target = kxTarget(args[2]);
    const KxSettingName& row = settingArgument(args[3]);
    if (!set && target < 0) throw UsageError{"kx get reads one module, not a group"};
    std::optional<int> value;
    if (set) {
        std::string error;
        value = parseKxValue(row, str(args[4]), error);
        if (!value) throw UsageError{error};
    }
    // A group's page is known without asking the system: refuse before the first frame.
    if (target < 0) checkOffered(row, kxPage(target, registry_.kxTypes), set);
    OpenLine guard{link_};
    if (!open() || !status()) return kExitFailed;

    const std::string name = str(args[2]);
    if (target >= 0 && registry_.kxTypes[static_cast<std::size_t>(target)] == kKxNone) {
        term_.message("KX module " + name + " did not answer the status request");
        return kExitFailed;
    }
    if (target < 0 && kxTargets(target, registry_.kxTypes).empty()) {
        term_.message("no module of the group " + name + " answered the status request");
        return kExitFailed;
    }
    // The page decides what a selection offers; an unknown module shows every panel.
    checkOffered(row, kxPage(target, registry_.kxTypes), set);
    return set ? kxSet(target, row, *value, parser_.isSet("permanent"))
               : kxGet(target, row, parser_.isSet("permanent"));
}

int Command::kxGet(int item, const KxSettingName& row, bool permanent) {
    const std::optional<int> v = readKxSetting(link_, registry_, item, row, permanent, retries_);
    if (!v) {
        term_.message(moduleNameText({ModuleFamily::KX, item}) + ": no answer to " + row.name);
        return kExitFailed;
    }
    term_.out << *v << '\n';
    return kExitOk;
}

int Command::kxSet(std::int32_t target, const KxSettingName& row, int value, bool permanent) {
    const std::optional<int> confirmed =
        writeKxSetting(link_, registry_, target, row, value, permanent);
    if (!link_.portOpen()) return kExitFailed;
    // A group's answers are not decoded (as on the page): each module is read
    // back. A write is never sent twice: a missing confirmation is settled by a read.
    std::vector<std::pair<int, std::optional<int>>> results;
    if (target >= 0) {
        results.push_back({target, confirmed ? confirmed
                                             : readKxSetting(link_, registry_, target, row,
                                                             permanent, retries_)});
    } else {
        for (int m : kxTargets(target, registry_.kxTypes))
            results.push_back({m, readKxSetting(link_, registry_, m, row, permanent, retries_)});
    }
    int exit = kExitOk;
    for (const auto& [m, v] : results) {
        const std::string name = moduleNameText(
            {ModuleFamily::KX, m}, registry_.kxTypes[static_cast<std::size_t>(m)] == kKx44);
        if (v == value) {
            term_.out << name << ' ' << row.name << " = " << value << " confirmed\n";
            continue;
        }
        exit = kExitFailed;
        term_.message(name + ' ' + row.name + ": not confirmed" +
                      (v ? " (the module reports " + std::to_string(*v) + ")" : " (no answer)"));
    }
    // A module whose status answer was lost may belong to the group: not set.
    if (target < 0) {
        std::erase_if(lost_, [](const std::string& m) { return !m.starts_with("kx:"); });
        if (reportLost("; not set")) exit = kExitFailed;
    }
    return exit;
}

int Command::zrReport(const QStringList& args) {
    expectArguments(args, 3, "zr report MODULE [--permanent]");
    const std::optional<ModuleName> module = parseModuleName("zr:" + str(args[2]));
    if (args[1] != "report" || !module)
        throw UsageError{"usage: korvelctl zr report MODULE [--permanent], MODULE 0..7"};
    OpenLine guard{link_};
    if (!open() || !status()) return kExitFailed;
    if (registry_.zrPresent[static_cast<std::size_t>(module->item)] != 1) {
        term_.message("ZR32 module " + str(args[2]) + " did not answer the status request");
        return kExitFailed;
    }
    std::string text;
    const bool whole =
        zrReportText(link_, module->item, parser_.isSet("permanent"), retries_, text);
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    term_.out << text;
    if (!whole) term_.message("zr:" + str(args[2]) + ": the report is incomplete");
    return whole ? kExitOk : kExitFailed;
}

int Command::backup(const QStringList& args) {
    expectArguments(args, 2, "backup FILE");
    const std::string path = str(args[1]);
    if (const std::string why = unwritableFolder(path); !why.empty()) {
        term_.message(why + "; no backup written");
        return kExitFailed;
    }
    OpenLine guard{link_};
    if (!open()) return kExitFailed;
    const std::optional<StatusFacts> report = status();
    if (!report) return stopped(kExitFailed);
    // A backup holds every module there is, or is not written.
    std::erase_if(lost_, [](const std::string& m) { return m.starts_with("qh:"); });
    if (reportLost("; no backup written")) return kExitFailed;
    const BackupRun run = takeBackup(link_, registry_, *report, retries_, runControl("backup"));
    for (const RunItem& i : run.result.items) tellItem(i);
    if (!run.backup) {
        if (stopSignal()) term_.message("backup " + run.result.stopped);
        term_.message("no backup written");
        return stopped(kExitFailed);
    }
    if (const std::string why = replaceFile(path, toJson(*run.backup).toStdString());
        !why.empty()) {
        term_.message(why + "; no backup written");
        return kExitFailed;
    }
    term_.out << run.backup->modules.size() << " modules saved in " << path << '\n';
    return kExitOk;
}

// How a run reports where it is (on a watched terminal) and stops for a signal.
RunControl Command::runControl(const char* what) {
    RunControl control;
    control.stopRequest = []() -> std::string {
        if (const int signal = stopSignal()) return signal == SIGINT ? "interrupted" : "terminated";
        return {};
    };
    if (term_.progress)
        control.progress = [this, what, last = std::string()](const RunProgress& p) mutable {
            if (p.module.empty() || p.module == last) return;
            last = p.module;
            term_.message(std::string(what) + ": " + p.module + ", setting " +
                          std::to_string(p.done + 1) + " of " + std::to_string(p.total));
        };
    return control;
}

// A line on standard error for an item that is not plainly saved or equal.
void Command::tellItem(const RunItem& i) const {
    const std::string name = moduleLabel(i.module, i.type);
    const std::string setting = i.setting.empty()
                                    ? std::string()
                                    : i.setting + (i.permanent ? " (permanent)" : " (active)");
    switch (i.kind) {
        case ItemKind::Saved:
            if (!i.reason.empty())
                term_.message(name + ": " + setting + " is " + std::to_string(*i.moduleValue) +
                              ", " + i.reason);
            return;
        case ItemKind::Skipped:
            term_.message(name + ": " + i.reason + "; " +
                          (i.setting.empty() && i.type.empty() ? "not backed up" : "skipped"));
            return;
        case ItemKind::NotAnswered:
            term_.message(name + ": " + (i.setting.empty() ? i.reason : "no answer to " + setting));
            return;
        case ItemKind::Different:
            term_.message(name + ": " + i.setting + " is " + std::to_string(*i.moduleValue) +
                          ", the file holds " + std::to_string(*i.fileValue));
            return;
        case ItemKind::Equal:
        case ItemKind::Written:
        case ItemKind::Sent:
        case ItemKind::Planned:
            return;
    }
}

std::vector<std::string> listValues(const QStringList& values) {
    std::vector<std::string> out;
    for (const QString& v : values)
        for (const QString& part : v.split(',', Qt::SkipEmptyParts)) out.push_back(str(part));
    return out;
}

int Command::restoreCommand(const QStringList& args) {
    // MODULE... after --only: the names that follow it are positional to the parser.
    if (args.size() < 2 || (args.size() > 2 && !parser_.isSet("only")))
        throw UsageError{
            "usage: korvelctl restore FILE [--only MODULE...] [--map OLD=NEW...] "
            "[--dry-run]"};
    QFile file(args[1]);
    if (!file.open(QIODevice::ReadOnly)) {
        term_.message("cannot read " + str(args[1]) + ": " + str(file.errorString()));
        return kExitFailed;
    }
    std::string error;
    const std::optional<Backup> b = fromJson(file.readAll(), error);
    if (!b) throw UsageError{str(args[1]) + ": " + error};
    const std::optional<std::vector<RestoreTarget>> targets =
        restoreTargets(*b, listValues(parser_.values("only") + args.mid(2)),
                       listValues(parser_.values("map")), error);
    if (!targets) throw UsageError{error};
    if (parser_.isSet("dry-run")) {
        for (const RunItem& i : restorePlan(*targets))
            term_.out << moduleNameText(i.module, i.type == "KX44") << ' ' << i.setting << " = "
                      << *i.fileValue << (i.readOnly ? " (read back, not written)" : "") << '\n';
        return kExitOk;
    }
    OpenLine guard{link_};
    if (!open()) return kExitFailed;
    if (!status()) return stopped(kExitFailed);
    const RunResult result = restore(link_, registry_, *targets, retries_, runControl("restore"));
    bool skipped = false;
    for (const RunItem& i : result.items) {
        if (!result.stopped.empty() && i.kind == ItemKind::NotAnswered) continue;
        skipped = skipped || i.kind == ItemKind::Skipped;
        tellItem(i);
    }
    if (!result.stopped.empty()) term_.message("restore stopped: " + result.stopped);
    // A restore that stopped or skipped modules says what it did put back.
    if (!result.stopped.empty() || skipped) {
        term_.message("written: " + result.writtenSummary());
        term_.message("not written: " + result.notWrittenSummary());
    }
    if (!result.stopped.empty()) return stopped(kExitFailed);
    if (!result.whole()) return kExitFailed;
    term_.out << targets->size() << " modules restored, every setting read back equal\n";
    return kExitOk;
}

// Polls as the window's timer does and prints every message the controller
// held, in words (or as JSON Lines), until Ctrl+C; a controller that stops
// answering ends it.
int Command::monitor() {
    OpenLine guard{link_};
    if (!open()) return kExitFailed;
    const bool json = parser_.isSet("json");
    log_.onExchange = [&](const ExchangeRecord& record) {
        for (const LogLine& line : logLines(record)) {
            if (json)
                term_.out << lineJson(line, timeOfDay(line.sent)) << '\n';
            else
                term_.out << timeOfDay(line.sent) << "  " << lineWords(line) << '\n';
        }
        term_.out.flush();
    };
    while (!stopSignal()) {
        if (!link_.Transact(Frame{})) {
            log_.onExchange = {};
            if (link_.portOpen()) term_.message("the controller stopped answering");
            return kExitFailed;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    log_.onExchange = {};
    return kExitOk;
}

// The exit of a run that ended early: 128 + the signal that stopped it, if one did.
int Command::stopped(int exit) const {
    if (const int signal = stopSignal()) return 128 + signal;
    return exit;
}

int Command::run(const CommandInfo& info, const QStringList& args) {
    log_.verbose = parser_.isSet("verbose");
    if (parser_.isSet("retries")) {
        bool ok = false;
        retries_ = parser_.value("retries").toInt(&ok);
        if (!ok || retries_ < 0 || retries_ > kMaxRetries)
            throw UsageError{"--retries takes a number 0.." + std::to_string(kMaxRetries) +
                             ", not \"" + str(parser_.value("retries")) + "\""};
    }
    for (const QString& option : parser_.optionNames())
        if (!kGlobalOptions.count(option) && !info.options.count(option))
            throw UsageError{"--" + str(option) + " is not an option of " + info.name};
    const std::string name = info.name;
    if (name == "ports") {
        expectArguments(args, 1, "ports");
        return ports();
    }
    if (name == "status") {
        expectArguments(args, 1, "-p PORT status [--classic] [--json]");
        OpenLine guard{link_};
        if (!open()) return kExitFailed;
        return printStatus();
    }
    if (name == "kx") return kx(args);
    if (name == "monitor") {
        expectArguments(args, 1, "monitor [--json]");
        return monitor();
    }
    if (name == "zr") return zrReport(args);
    if (name == "backup") return backup(args);
    return restoreCommand(args);
}

void addOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(kDescription);
    parser.addHelpOption();
    parser.addOption({{"V", "version"}, "Print the version."});
    parser.addOptions({
        {{"p", "port"}, "The port: a number 1-16 of the port table, or a device path.", "PORT"},
        {"demo", "Use the built-in simulated system instead of a port."},
        {{"v", "verbose"},
         "Write every exchange to standard error as the message log does, "
         "with its time and its words."},
        {"retries", "Ask again this many times when a read gets no answer (default 2).", "N"},
        {"classic", "status: ask as the classic status view does."},
        {"json", "status: print JSON instead of aligned text."},
        {"permanent", "kx, zr: the stored setting instead of the active one."},
        {"on", "kx: the on-delay of alarm-delay or switch-delay."},
        {"bank", "kx: the bank of switch-delay.", "0|1"},
        {"loop", "kx: the loop of loop-current.", "A|B"},
        {"only", "restore: only these modules of the file.", "MODULE"},
        {"map", "restore: put the settings of module OLD on module NEW.", "OLD=NEW"},
        {"dry-run", "restore: print what would be written; send nothing."},
    });
    parser.addPositionalArgument("command", "ports, status, kx, zr, backup or restore.",
                                 "COMMAND [ARGUMENTS]");
}

}  // namespace

int runKorvelctl(const QStringList& arguments, LineAccess& line, const Terminal& term) {
    QCommandLineParser parser;
    addOptions(parser);
    catchStopSignals();
    try {
        if (!parser.parse(arguments)) throw UsageError{str(parser.errorText())};
        if (parser.isSet("help")) {
            // The usage line names the program, not the path it was started by.
            term.out << str(
                parser.helpText().replace(QRegularExpression("^Usage: \\S+"), "Usage: korvelctl"));
            return kExitOk;
        }
        if (parser.isSet("version")) {
            term.out << "korvelctl " << str(QCoreApplication::applicationVersion()) << '\n';
            return kExitOk;
        }
        const QStringList args = parser.positionalArguments();
        if (args.isEmpty())
            throw UsageError{
                "a command is needed: ports, status, kx, zr, backup, restore or monitor "
                "(korvelctl --help)"};
        for (const CommandInfo& info : kCommands)
            if (args[0] == info.name) return Command(parser, line, term).run(info, args);
        throw UsageError{"no command \"" + str(args[0]) + "\" (korvelctl --help)"};
    } catch (const UsageError& e) {
        term.message("korvelctl: " + e.message);
        return kExitUsage;
    }
}

}  // namespace korvel::ctl
