// The commands to the controller itself and to the line: ports, status,
// monitor, reset-fault, vg set and the decoder function test.
#include <QFileInfo>
#include <QJsonArray>
#include <iomanip>
#include <sstream>

#include "ctl/command.h"
#include "ctl/status_output.h"
#include "ctl/stop_signal.h"
#include "ctl/test_functions.h"
#include "service/number_text.h"
#include "service/ports.h"
#include "ops/system_ops.h"
#include "status/system_query.h"
#include "vg/vg_panel.h"
#include "wire_words/log_lines.h"

namespace korvel::ctl {

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
ops::VgBits parseBits(const std::string& text, const std::array<const char*, 8>& captions,
                  const char* option) {
    ops::VgBits boxes{};
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

QJsonArray bitList(const ops::VgBits& boxes) {
    QJsonArray out;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i]) out.append(static_cast<int>(i));
    return out;
}

std::string captionList(const ops::VgBits& boxes, const std::array<const char*, 8>& captions) {
    std::string out;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i]) out += (out.empty() ? "" : ", ") + std::string(captions[i]);
    return out.empty() ? "none" : out;
}

}  // namespace

int Command::ports() {
    const std::vector<int> open = FillPortList(line_.port());
    QJsonArray listed, leftOut;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        const std::string device = line_.port().deviceName(n);
        if (std::find(open.begin(), open.end(), n) != open.end()) {
            const std::string about = joined(line_.port().describePort(n), "; ");
            std::ostringstream row;
            row << std::setw(2) << n << "  " << about;
            out_.line(row.str());
            listed.append(QJsonObject{{"port", n}, {"device", q(device)}, {"about", q(about)}});
            continue;
        }
        // A device that is there but would not open: say why it is left out.
        if (device.empty() || !QFileInfo::exists(q(device)) || line_.port().open(n)) {
            line_.port().close();
            continue;
        }
        const std::string why = joined(line_.port().openErrorDetail(), "; ");
        out_.note("port " + std::to_string(n) + " left out: " + why);
        leftOut.append(QJsonObject{{"port", n}, {"device", q(device)}, {"reason", q(why)}});
    }
    out_.result.insert("ports", listed);
    out_.result.insert("left-out", leftOut);
    if (open.empty()) return out_.fail(ErrorCode::Port, "no port can be opened");
    return kExitOk;
}

int Command::printStatus() {
    OpenLine guard{link_};
    if (!open()) return kExitFailed;
    const std::optional<StatusFacts> report = status(isSet("classic"));
    if (!report) return stopped(kExitFailed);
    if (out_.json()) {
        const QJsonObject o = statusJson(*report);
        for (auto it = o.begin(); it != o.end(); ++it) out_.result.insert(it.key(), it.value());
    } else if (!out_.quiet()) {
        writeStatusText(*report, term_.out);
    }
    return reportLost("") ? kExitFailed : kExitOk;
}

// Polls as the window's timer does and prints every message the controller
// held, in words (or as JSON Lines), until Ctrl+C; a controller that stops
// answering ends it.
int Command::monitor() {
    OpenLine guard{link_};
    if (!open()) return kExitFailed;
    out_.compact = true;
    log_.onExchange = [&](const ExchangeRecord& record) {
        for (const LogLine& line : logLines(record)) {
            if (out_.json())
                term_.out << lineJson(line, timeOfDay(line.sent)) << '\n';
            else
                out_.line(timeOfDay(line.sent) + "  " + lineWords(line));
        }
        term_.out.flush();
    };
    bus_.stopRequest = [] { return stopSignal() ? std::string("stopped") : std::string(); };
    const ops::Failure failure = ops::monitor(bus_, kPollInterval);
    log_.onExchange = {};
    return failure ? failed(*failure) : kExitOk;
}

int Command::resetFault() {
    OpenLine guard{link_};
    if (!open()) return kExitFailed;
    if (const ops::Failure failure = ops::resetFault(bus_)) return failed(*failure);
    out_.line("Reset Fault sent");
    out_.result.insert("sent", "Reset Fault");
    return kExitOk;
}

int Command::vgSet() {
    if (!isSet("config") && !isSet("options"))
        throw UsageError{"vg set needs --config or --options"};
    const ops::VgBits config = parseBits(value("config"), kVgConfigCaptions, "config");
    const ops::VgBits options = parseBits(value("options"), kVgOptionCaptions, "options");
    const bool permanent = isSet("permanent");
    OpenLine guard{link_};
    if (!openWithStatus()) return stopped(kExitFailed);
    // The unit's name as the status dialog shows it.
    const std::string unit =
        QString::fromStdString(vgTypeCaption(bus_.facts()->system)).trimmed().toStdString();
    out_.result.insert("unit", q(unit));
    ops::VgRequest request;
    request.permanent = permanent;
    if (isSet("config")) request.config = config;
    if (isSet("options")) request.options = options;
    const ops::VgSetResult r = ops::vgSet(bus_, request);
    if (r.failure && r.failure->error == ops::OpError::Refused) {
        const bool isConfig = r.failure->setting == "config";
        const std::string what = isConfig ? "configuration" : "option";
        if (r.failure->detail.empty()) throw UsageError{"a " + unit + " has no " + what + " bits"};
        const auto bit = static_cast<std::size_t>(std::stoi(r.failure->detail));
        throw UsageError{"a " + unit + " does not offer the " + what + " bit " + r.failure->detail +
                         " (\"" + (isConfig ? kVgConfigCaptions : kVgOptionCaptions)[bit] +
                         "\")"};
    }
    if (r.configSent) {
        out_.line(unit + " configuration " + captionList(config, kVgConfigCaptions) +
                  (permanent ? " (permanent)" : "") + " sent");
        out_.result.insert("config",
                           QJsonObject{{"bits", bitList(config)}, {"permanent", permanent}});
    }
    if (r.optionsSent) {
        out_.line(unit + " options " + captionList(options, kVgOptionCaptions) + " sent");
        out_.result.insert("options", QJsonObject{{"bits", bitList(options)}});
    }
    if (r.failure)
        return failed(*r.failure,
                      r.failure->setting == "config" ? "the configuration" : "the options");
    return kExitOk;
}

int Command::functionTest(const QStringList& args) {
    if (args.isEmpty()) throw UsageError{"usage: korvelctl test GROUP [FUNCTION...]"};
    const std::optional<FunctionGroup> group = functionGroupNamed(str(args[0]));
    if (!group)
        throw UsageError{"no function group \"" + str(args[0]) +
                         "\": give F1..F4+L, F5..F8, F9..F12, F13..F20 or F21..F28"};
    std::string error;
    FunctionTestInputs inputs;
    if (isSet("block")) inputs.blockText = value("block");
    if (isSet("decoder")) inputs.decoderText = value("decoder");
    std::vector<std::string> on;
    for (const QString& a : args.mid(1)) on.push_back(str(a));
    const std::optional<std::array<bool, 8>> pattern = functionPattern(*group, on, error);
    if (!pattern) throw UsageError{error};
    inputs.pattern = *pattern;
    const std::variant<Frame, std::string> frame = functionTestFrame(*group, inputs);
    if (const auto* refusal = std::get_if<std::string>(&frame)) throw UsageError{*refusal};
    OpenLine guard{link_};
    if (!open()) return kExitFailed;
    if (const ops::Failure failure = ops::functionTest(bus_, std::get<Frame>(frame)))
        return failed(*failure);
    const int decoder = static_cast<int>(roundHalfEven(leadingNumber(inputs.decoderText)));
    const int block = static_cast<int>(roundHalfEven(leadingNumber(inputs.blockText)));
    std::string names;
    QJsonArray list;
    for (const std::string& f : on) {
        names += (names.empty() ? "" : ", ") + f;
        list.append(q(f));
    }
    out_.line(std::string(kFunctionGroupNames[static_cast<std::size_t>(*group)]) + " of decoder " +
              std::to_string(decoder) + " in block " + std::to_string(block) +
              " sent: " + (names.empty() ? "all off" : names + " on"));
    out_.result.insert("group", kFunctionGroupNames[static_cast<std::size_t>(*group)]);
    out_.result.insert("decoder", decoder);
    out_.result.insert("block", block);
    out_.result.insert("on", list);
    return kExitOk;
}

}  // namespace korvel::ctl
