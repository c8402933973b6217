#include "ctl/cli.h"

#include <unistd.h>

#include <QRegularExpression>

#include "ctl/command.h"
#include "ctl/completion.h"
#include "ctl/status_output.h"
#include "ctl/stop_signal.h"
#include "net_serial/net_address.h"
#include "ops/system_ops.h"
#include "service/number_text.h"
#include "service/ports.h"
#include "status/status_texts.h"

namespace korvel::ctl {

namespace {

constexpr int kMaxRetries = 20;

void addOptions(QCommandLineParser& parser) {
    for (const OptionEntry& o : optionEntries()) {
        QStringList names{o.name};
        if (o.shortName) names.prepend(o.shortName);
        parser.addOption(o.valueName ? QCommandLineOption(names, o.help, o.valueName)
                                     : QCommandLineOption(names, o.help));
    }
}

// A negative number is a value, not an option: it goes behind "--", where the
// parser takes it as an argument and its command refuses it by name.
QStringList negativeNumbersAsArguments(const QStringList& arguments) {
    static const QRegularExpression negative("^-[0-9.]");
    QStringList front, back;
    bool valueNext = false;
    for (const QString& a : arguments) {
        if (a == "--") return arguments;
        if (!valueNext && negative.match(a).hasMatch()) {
            back << a;
            continue;
        }
        front << a;
        const OptionEntry* o =
            a.startsWith('-') ? findOption(str(a).substr(a.startsWith("--") ? 2 : 1)) : nullptr;
        valueNext = o && o->valueName;
    }
    return back.isEmpty() ? front : front << "--" << back;
}

std::string familyUsage(const std::string& word) {
    std::string usage;
    for (const CommandEntry* c : commandFamily(word))
        usage += (usage.empty() ? "usage: korvelctl " : " | ") + c->path() +
                 (*c->arguments ? std::string(" ") + c->arguments : "");
    return usage;
}

// The parser's sentence ("Unknown option 'x'.") in the program's own style.
std::string parserMessage(QString text) {
    if (text.endsWith('.')) text.chop(1);
    if (text.size() > 1 && text[1].isLower()) text[0] = text[0].toLower();
    return str(text);
}

std::vector<std::string> words(const QStringList& list) {
    std::vector<std::string> out;
    for (const QString& w : list) out.push_back(str(w));
    return out;
}

// "help", "help kx", "help kx set", "kx --help": the help they ask for.
std::string helpFor(const QStringList& args) {
    if (args.isEmpty()) return overviewHelp();
    std::size_t used = 0;
    const std::string asked = str(args.join(' '));
    if (const CommandEntry* c = findCommand(words(args), used)) {
        if (used < static_cast<std::size_t>(args.size()))
            throw UsageError{"no command \"" + asked + "\" (korvelctl help " + c->path() + ")"};
        return commandHelp({c});
    }
    const std::vector<const CommandEntry*> family = commandFamily(str(args[0]));
    if (family.empty() || args.size() > 1)
        throw UsageError{"no command \"" + asked + "\" (korvelctl help" +
                         (family.empty() ? "" : " " + str(args[0])) + ")"};
    return commandHelp(family);
}

}  // namespace

void expectArguments(const QStringList& args, int count, const std::string& usage) {
    if (args.size() != count) throw UsageError{"usage: korvelctl " + usage};
}

Command::Command(QCommandLineParser& parser, LineAccess& line, const Terminal& term, Output& out)
    : parser(parser), line(line), term(term), out(out), bus(line.port(), line.clock(), log, poll) {
    link.setStopRequest([] { return stopSignal() != 0; });
    // Each command says what went unanswered in its own words; a lost line is
    // said once, with its cause.
    link.setFailureListener([this](ExchangeOutcome outcome, const std::string& detail) {
        if (outcome == ExchangeOutcome::LineLost)
            this->out.fail(ErrorCode::LineLost,
                           "the line was lost" + (detail.empty() ? "" : ": " + detail));
    });
}

bool Command::open() {
    std::string port = value("port");
    if (!isSet("port") && !isSet("demo")) port = qEnvironmentVariable("KORVEL_PORT").toStdString();
    if (isSet("demo") == !port.empty())
        throw UsageError{isSet("demo") ? "give either -p PORT or --demo"
                                       : "give -p PORT, KORVEL_PORT or --demo"};
    std::optional<PortSpec> given;
    if (!isSet("demo")) {
        given = parsePortSpec(port);
        if (!given || (given->kind == PortSpec::Kind::Network && !net::parseNetAddress(port))) {
            const std::string source = isSet("port") ? "-p" : "KORVEL_PORT";
            throw UsageError{source +
                             " takes a port number 1..16, a device path, tcp://HOST:PORT or "
                             "rfc2217://HOST:PORT, not \"" +
                             net::shown(port) + "\""};
        }
    }
    const PortSpec chosen = line.choose(given);
    if (line.port().open(chosen)) return true;
    std::string detail = line.port().openErrorDetail();
    for (std::size_t at; (at = detail.find('\n')) != std::string::npos;) detail.replace(at, 1, "; ");
    out.fail(ErrorCode::Port,
             std::string("cannot open the port (\"") + kWindowOpenPortFailed + "\"): " + detail);
    return false;
}

bool Command::openWithStatus() {
    return open() && status();
}

std::optional<StatusFacts> Command::status(bool classic) {
    if (ops::requestStatus(bus, classic)) {
        if (!out.failed()) out.fail(ErrorCode::NoAnswer, "the status request did not complete");
        return std::nullopt;
    }
    lost = notAnswering(*bus.facts());
    return bus.facts();
}

std::string Command::whyUnregistered(const ops::ModuleName& module) const {
    if (bus.facts())
        for (const ModuleFact& f : bus.facts()->modules)
            if (f.family == module.family && f.kxIndex() == module.item && f.answered)
                return std::string("is not there (the status request says \"") + kNotFoundText +
                       "\")";
    return "did not answer the status request";
}

// Fails the command for a module (as the user named it) that the status request did not register.
int Command::notRegistered(const char* kind, const QString& given, const ops::ModuleName& module,
                           const std::string& consequence) {
    return out.fail(ErrorCode::NotRegistered,
                    std::string(kind) + " module " + str(given) + " " + whyUnregistered(module) +
                        consequence,
                    ops::moduleNameText(module));
}

// The failures every command says alike; the others are said by their command.
int Command::failed(const ops::OpFailure& f, const std::string& what) {
    switch (f.error) {
        case ops::OpError::LineLost:  // said by the link's failure listener, with its cause
            if (!out.failed()) out.fail(ErrorCode::LineLost, "the line was lost");
            return kExitFailed;
        case ops::OpError::NoPort:
            return out.fail(ErrorCode::Port,
                            std::string("no port is open (\"") + kWindowSelectPort + "\")");
        case ops::OpError::NoAnswer:
            if (out.failed()) return kExitFailed;
            if (what.empty()) return out.fail(ErrorCode::NoAnswer, controllerSilent());
            return out.fail(
                ErrorCode::NoAnswer,
                f.module.empty() ? "no answer to " + what : f.module + " did not answer " + what,
                f.module, f.setting);
        case ops::OpError::NotRegistered:
            return out.fail(ErrorCode::NotRegistered,
                            std::string("no module of the family answered the status request (\"") +
                                kWindowRequestStatusFirst + "\")");
        case ops::OpError::Stopped:
            return stopped(kExitFailed);
        case ops::OpError::NotConfirmed:
        case ops::OpError::Differences:
        case ops::OpError::Skipped:
        case ops::OpError::Verdict:
        case ops::OpError::Refused:
            break;
    }
    return out.fail(ErrorCode::NoAnswer, what + " failed", f.module, f.setting);
}

// Says which modules' status answers were lost; true when there are such.
bool Command::reportLost(const std::string& consequence) {
    if (lost.empty()) return false;
    std::string names;
    for (const std::string& m : lost) names += (names.empty() ? "" : ", ") + m;
    out.fail(ErrorCode::NotRegistered, names + " did not answer the status request" + consequence,
             lost.size() == 1 ? lost.front() : "");
    return true;
}

int Command::stopped(int exit) {
    if (const int signal = stopSignal()) {
        if (!out.failed())
            out.fail(ErrorCode::Stopped, "stopped by signal " + std::to_string(signal));
        return 128 + signal;
    }
    return exit;
}

bool Command::confirmErase(const std::string& what) {
    if (isSet("yes")) return true;
    if (!term.in)
        throw UsageError{"erasing " + what + " cannot be undone: give --yes to go on"};
    term.err << "korvelctl: this erases every setting of " << what
             << " and cannot be undone; type erase to go on: " << std::flush;
    std::string answer;
    if (term.standardOutput)
        answer = readLine(STDIN_FILENO).value_or("");
    else
        std::getline(*term.in, answer);
    if (stopSignal()) return false;
    if (answer == "erase") return true;
    out.fail(ErrorCode::Cancelled,
             std::string("cancelled (\"") + kWindowOperationCancelled + "\")");
    return false;
}

int Command::run(const CommandEntry& entry, const QStringList& args) {
    log.verbose = isSet("verbose");
    if (isSet("retries")) {
        const std::optional<int> retries = typedWholeNumber(value("retries"), 0, kMaxRetries);
        if (retries) bus.retries = *retries;
        if (!retries)
            throw UsageError{"--retries takes a number 0.." + std::to_string(kMaxRetries) +
                             ", not \"" + value("retries") + "\""};
    }
    for (const QString& option : parser.optionNames())
        if (!entry.takesOption(str(option)))
            throw UsageError{"--" + str(findOption(str(option))->name) + " is not an option of " +
                             entry.path()};
    if (!entry.run) throw UsageError{"no command \"" + entry.path() + "\""};
    // A command without arguments takes none.
    if (!*entry.arguments) expectArguments(args, 0, entry.path());
    return stopped(entry.run(*this, args));
}

namespace {

int runCommandLine(const QStringList& arguments, LineAccess& line, const Terminal& term,
                   Output& out) {
    if (arguments.size() >= 3 && arguments[1] == kCompleteCommand) {
        std::vector<std::string> typed = words(arguments.mid(3));
        for (const std::string& c : completionCandidates(typed, arguments[2].toUInt()))
            term.out << c << '\n';
        return kExitOk;
    }
    if (arguments.size() == 2 && arguments[1] == "__man-sections") {
        term.out << manPageSections();
        return kExitOk;
    }
    QCommandLineParser parser;
    addOptions(parser);
    catchStopSignals();
    try {
        if (!parser.parse(negativeNumbersAsArguments(arguments)))
            throw UsageError{parserMessage(parser.errorText())};
        const QStringList args = parser.positionalArguments();
        if ((parser.isSet("help-all") || parser.isSet("version")) && !args.isEmpty())
            throw UsageError{std::string(parser.isSet("version") ? "--version" : "--help-all") +
                             " takes no command, not \"" + str(args.join(' ')) + "\""};
        if (parser.isSet("help-all")) {
            term.out << fullHelp();
            return kExitOk;
        }
        if (parser.isSet("version")) {
            term.out << "korvelctl " << str(QCoreApplication::applicationVersion()) << '\n';
            return kExitOk;
        }
        if (parser.isSet("help") || (!args.isEmpty() && args[0] == "help")) {
            // "help kx --help" is the help command's own.
            const bool byWord = !parser.isSet("help") && args[0] == "help";
            term.out << helpFor(args.mid(byWord ? 1 : 0));
            return kExitOk;
        }
        if (args.isEmpty()) throw UsageError{"a command is needed (korvelctl --help lists them)"};
        std::size_t used = 0;
        const CommandEntry* entry = findCommand(words(args), used);
        if (!entry && !commandFamily(str(args[0])).empty())
            throw UsageError{familyUsage(str(args[0]))};
        if (!entry) throw UsageError{"no command \"" + str(args[0]) + "\" (korvelctl --help)"};
        if (entry->path() == "completion") {
            expectArguments(args, 2, "completion bash|zsh|fish");
            const std::optional<std::string> script = completionScript(str(args[1]));
            if (!script) throw UsageError{"completion takes bash, zsh or fish"};
            term.out << *script;
            return kExitOk;
        }
        out.command = entry->path();
        Command command(parser, line, term, out);
        return out.finish(command.run(*entry, args.mid(static_cast<qsizetype>(used))));
    } catch (const UsageError& e) {
        return out.finish(out.fail(ErrorCode::Usage, e.message));
    }
}

}  // namespace

int runKorvelctl(const QStringList& arguments, LineAccess& line, const Terminal& term) {
    Output out(term, arguments.contains("--json"),
               arguments.contains("-q") || arguments.contains("--quiet"));
    const int exit = runCommandLine(arguments, line, term, out);
    // A result that never reached standard output is no success.
    return out.closeOutput() || exit != kExitOk ? exit : kExitFailed;
}

}  // namespace korvel::ctl
