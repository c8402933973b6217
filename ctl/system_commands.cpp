// The commands to the controller itself and to the line: ports, status,
// monitor, reset-fault, vg set and the decoder function test.
#include <QFileInfo>
#include <QJsonArray>
#include <iomanip>
#include <sstream>

#include "ctl/command.h"
#include "ctl/handlers.h"
#include "ctl/status_output.h"
#include "ctl/stop_signal.h"
#include "results_json/test_functions.h"
#include "ops/system_ops.h"
#include "service/number_text.h"
#include "service/ports.h"
#include "wire_words/log_lines.h"

namespace korvel::ctl {

using results::functionGroupNamed;
using results::functionPattern;
using results::kFunctionGroupNames;

namespace {

// As the window's poll timer.
constexpr std::chrono::milliseconds kPollInterval{50};

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string joined(const std::string& text, const char* separator) {
    std::string out = text;
    for (std::size_t at; (at = out.find('\n')) != std::string::npos;) out.replace(at, 1, separator);
    return out;
}

// BITS of vg set: "none", or bit numbers and box captions separated by commas.
// Only a box the unit shows can be named by its caption.
VgBits parseBits(const std::string& text, const std::array<const char*, 8>& captions,
                 const char* option) {
    VgBits boxes{};
    if (QString::fromStdString(text).trimmed().compare("none", Qt::CaseInsensitive) == 0)
        return boxes;
    for (const QString& token : q(text).split(',', Qt::SkipEmptyParts)) {
        const QString t = token.trimmed();
        bool number = false;
        const int bit = t.toInt(&number);
        std::optional<std::size_t> found;
        if (number && bit >= 0 && bit < 8) found = static_cast<std::size_t>(bit);
        for (std::size_t i = 0; i < captions.size() && !found; ++i)
            if (t.compare(captions[i], Qt::CaseInsensitive) == 0 && t != "NU") found = i;
        if (!found)
            throw UsageError{std::string("--") + option +
                             " takes bit numbers 0-7 or box captions, " + "not \"" + str(t) + "\""};
        boxes[*found] = true;
    }
    return boxes;
}

std::string captionList(const VgBits& boxes, const std::array<const char*, 8>& captions) {
    std::string out;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i]) out += (out.empty() ? "" : ", ") + std::string(captions[i]);
    return out.empty() ? "none" : out;
}

}  // namespace

int ports(Command& c, const QStringList&) {
    const std::vector<int> open = FillPortList(c.line.port());
    QJsonArray listed, leftOut;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        const std::string device = c.line.port().deviceName(n);
        if (std::find(open.begin(), open.end(), n) != open.end()) {
            const std::string about = joined(c.line.port().describePort(n), "; ");
            std::ostringstream row;
            row << std::setw(2) << n << "  " << about;
            c.out.line(row.str());
            listed.append(QJsonObject{{"port", n}, {"device", q(device)}, {"about", q(about)}});
            continue;
        }
        // A device that is there but would not open: say why it is left out.
        if (device.empty() || !QFileInfo::exists(q(device)) || c.line.port().open(n)) {
            c.line.port().close();
            continue;
        }
        const std::string why = joined(c.line.port().openErrorDetail(), "; ");
        c.out.note("port " + std::to_string(n) + " left out: " + why);
        leftOut.append(QJsonObject{{"port", n}, {"device", q(device)}, {"reason", q(why)}});
    }
    c.out.result.insert("ports", listed);
    c.out.result.insert("left-out", leftOut);
    if (open.empty()) return c.out.fail(ErrorCode::Port, "no port can be opened");
    return kExitOk;
}

int printStatus(Command& c, const QStringList&) {
    OpenLine guard{c.link};
    if (!c.open()) return kExitFailed;
    const std::optional<StatusFacts> report = c.status(c.isSet("classic"));
    if (!report) return c.stopped(kExitFailed);
    if (c.out.json())
        c.out.take(statusJson(*report));
    else if (!c.out.quiet())
        writeStatusText(*report, c.term.out);
    return c.reportLost("") ? kExitFailed : kExitOk;
}

// Polls as the window's timer does and prints every message the controller
// held, in words (or as JSON Lines), until Ctrl+C; a controller that stops
// answering ends it.
int monitor(Command& c, const QStringList&) {
    OpenLine guard{c.link};
    if (!c.open()) return kExitFailed;
    c.out.compact = true;
    c.log.onExchange = [&](const ExchangeRecord& record) {
        for (const LogLine& line : logLines(record)) {
            if (c.out.json())
                c.term.out << lineJson(line, timeOfDay(line.sent)) << '\n';
            else
                c.out.line(timeOfDay(line.sent) + "  " + lineWords(line));
        }
        c.term.out.flush();
    };
    c.bus.stopRequest = [] { return stopSignal() ? std::string("stopped") : std::string(); };
    const ops::Failure failure = ops::monitor(c.bus, kPollInterval);
    c.log.onExchange = {};
    return failure ? c.failed(*failure) : kExitOk;
}

int resetFault(Command& c, const QStringList&) {
    OpenLine guard{c.link};
    if (!c.open()) return kExitFailed;
    if (const ops::Failure failure = ops::resetFault(c.bus)) return c.failed(*failure);
    c.out.line("Reset Fault sent");
    c.out.take(results::resetFaultJson());
    return kExitOk;
}

int vgSet(Command& c, const QStringList&) {
    if (!c.isSet("config") && !c.isSet("options"))
        throw UsageError{"vg set needs --config or --options"};
    const VgBits config = parseBits(c.value("config"), kVgConfigBitNames, "config");
    const VgBits options = parseBits(c.value("options"), kVgOptionBitNames, "options");
    const bool permanent = c.isSet("permanent");
    OpenLine guard{c.link};
    if (!c.openWithStatus()) return c.stopped(kExitFailed);
    const std::string unit = ops::vgOffer(*c.bus.facts()).unit;
    ops::VgRequest request;
    request.permanent = permanent;
    if (c.isSet("config")) request.config = config;
    if (c.isSet("options")) request.options = options;
    const ops::VgSetResult r = ops::vgSet(c.bus, request);
    c.out.take(results::vgSetJson(unit, request, r));
    if (r.failure && r.failure->error == ops::OpError::Refused) {
        const bool isConfig = r.failure->setting == "config";
        const std::string what = isConfig ? "configuration" : "option";
        if (r.failure->detail.empty()) throw UsageError{"a " + unit + " has no " + what + " bits"};
        const auto bit = static_cast<std::size_t>(std::stoi(r.failure->detail));
        throw UsageError{"a " + unit + " does not offer the " + what + " bit " + r.failure->detail +
                         " (\"" + (isConfig ? kVgConfigBitNames : kVgOptionBitNames)[bit] + "\")"};
    }
    if (r.configSent) {
        c.out.line(unit + " configuration " + captionList(config, kVgConfigBitNames) +
                   (permanent ? " (permanent)" : "") + " sent");
    }
    if (r.optionsSent)
        c.out.line(unit + " options " + captionList(options, kVgOptionBitNames) + " sent");
    if (r.failure)
        return c.failed(*r.failure,
                        r.failure->setting == "config" ? "the configuration" : "the options");
    return kExitOk;
}

int functionTest(Command& c, const QStringList& args) {
    if (args.isEmpty()) throw UsageError{"usage: korvelctl test GROUP [FUNCTION...]"};
    const std::optional<FunctionGroup> group = functionGroupNamed(str(args[0]));
    if (!group)
        throw UsageError{"no function group \"" + str(args[0]) +
                         "\": give F1..F4+L, F5..F8, F9..F12, F13..F20 or F21..F28"};
    const auto number = [&](const char* option, int fallback, int maximum) {
        if (!c.isSet(option)) return fallback;
        const std::string text = c.value(option);
        if (const std::optional<int> n = typedWholeNumber(text, 0, maximum)) return *n;
        throw UsageError{std::string("--") + option + " takes a whole number from 0 to " +
                         std::to_string(maximum) + ", not \"" + text + "\""};
    };
    const int block = number("block", 0, kMaxBlock);
    const int decoder = number("decoder", 1, kMaxDecoder);
    std::string error;
    std::vector<std::string> on;
    for (const QString& a : args.mid(1)) on.push_back(str(a));
    const std::optional<std::array<bool, 8>> pattern = functionPattern(*group, on, error);
    if (!pattern) throw UsageError{error};
    OpenLine guard{c.link};
    if (!c.open()) return kExitFailed;
    const Frame frame = FunctionGroupFrame(*group, block, decoder, patternByte(*pattern));
    if (const ops::Failure failure = ops::functionTest(c.bus, frame)) return c.failed(*failure);
    std::string names;
    for (const std::string& f : on) names += (names.empty() ? "" : ", ") + f;
    c.out.line(std::string(kFunctionGroupNames[static_cast<std::size_t>(*group)]) + " of decoder " +
               std::to_string(decoder) + " in block " + std::to_string(block) +
               " sent: " + (names.empty() ? "all off" : names + " on"));
    c.out.take(results::functionTestJson(*group, decoder, block, *pattern));
    return kExitOk;
}

}  // namespace korvel::ctl
