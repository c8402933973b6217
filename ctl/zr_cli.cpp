// zr report, set and erase: the ZR32 page's buttons from a terminal.
#include <QJsonArray>
#include <QRegularExpression>

#include "backup/module_io.h"
#include "backup/module_name.h"
#include "ctl/command.h"
#include "ui_model/zr_routines.h"
#include "zr/zr_commands.h"
#include "zr/zr_format.h"

namespace korvel::ctl {

using namespace korvel::backup;

namespace {

// A module 0..7, or kAllZR for "All".
std::int32_t zrTarget(const QString& text) {
    if (text.compare("All", Qt::CaseInsensitive) == 0) return kAllZR;
    if (const std::optional<ModuleName> m = parseModuleName("zr:" + str(text))) return m->item;
    throw UsageError{"no ZR32 module \"" + str(text) + "\": give 0..7 or All"};
}

// The page reads any text as a number (0 when there is none); a terminal
// refuses a word where a number goes.
std::string numberText(const QString& text, const char* what) {
    static const QRegularExpression number(R"(^\s*[+-]?(\d|\.\d))");
    if (!number.match(text).hasMatch())
        throw UsageError{std::string(what) + " takes a number, not \"" + str(text) + "\""};
    return str(text);
}

int powerCode(const QString& text) {
    for (std::size_t w = 0; w < kZrPowerNames.size(); ++w)
        if (text.compare(kZrPowerNames[w], Qt::CaseInsensitive) == 0 || text == QString::number(w))
            return static_cast<int>(w);
    throw UsageError{"power takes Normal, Low, High, Unlimited or 0-3, not \"" + str(text) + "\""};
}

// "All" goes to every number, as the page sends it, once a status request
// registered any ZR32 module.
Targets zrSendTargets(const ModuleRegistry& registry, std::int32_t target) {
    if (target >= 0) return std::vector<int>{target};
    if (!anyZrPresent(registry)) return std::nullopt;
    return zrTargets(kAllZR);
}

const char* kSetUsage =
    "zr set MODULE default-time T | MODULE device D time T | MODULE device D power P";

}  // namespace

int Command::zrReport(const QStringList& args) {
    expectArguments(args, 1, "zr report MODULE [--permanent]");
    const std::int32_t module = zrTarget(args[0]);
    if (module < 0) throw UsageError{"zr report reads one module, not All"};
    OpenLine guard{link_};
    if (!openWithStatus()) return stopped(kExitFailed);
    const std::string name = moduleNameText({ModuleFamily::ZR, module});
    if (registry_.zrPresent[static_cast<std::size_t>(module)] != 1)
        return notRegistered("ZR32", args[0], {ModuleFamily::ZR, module});
    std::string text;
    const bool whole = zrReportText(link_, module, isSet("permanent"), retries_, text);
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    out_.line(text);
    out_.result.insert("module", QString::fromStdString(name));
    out_.result.insert("permanent", isSet("permanent"));
    out_.result.insert("report", QString::fromStdString(text));
    if (!whole) return out_.fail(ErrorCode::NoAnswer, name + ": the report is incomplete", name);
    return kExitOk;
}

int Command::zrSet(const QStringList& args) {
    if (args.size() < 3) throw UsageError{std::string("usage: korvelctl ") + kSetUsage};
    const std::int32_t target = zrTarget(args[0]);
    ZrSettingBoxes boxes;
    boxes.permanent = isSet("permanent");
    ZrBoxSetting setting;
    std::string what;
    if (args[1] == "default-time" && args.size() == 3) {
        boxes.timeText = numberText(args[2], "default-time");
        setting = zrDefaultTimeSetting(boxes);
        what = "default-time";
    } else if (args[1] == "device" && args.size() == 5 &&
               (args[3] == "time" || args[3] == "power")) {
        boxes.deviceText = numberText(args[2], "device");
        if (args[3] == "time") {
            boxes.timeText = numberText(args[4], "time");
            setting = zrDeviceTimeSetting(boxes);
        } else {
            boxes.power = {false, false, false, false};
            boxes.power[static_cast<std::size_t>(powerCode(args[4]))] = true;
            setting = zrDevicePowerSetting(boxes);
        }
    } else {
        throw UsageError{std::string("usage: korvelctl ") + kSetUsage};
    }
    // The page shows a corrected number in its box; here standard error says it.
    if (setting.correctedTime)
        out_.note("time " + str(args.back()) + " is out of range 0-127: " + *setting.correctedTime +
                  " sent instead");
    if (setting.correctedDevice)
        out_.note("device " + str(args[2]) + " is out of range 0-63: " + *setting.correctedDevice +
                  " used instead");
    const int device = setting.n == 3 ? setting.v : -1;
    const int value = setting.n == 3 ? setting.x : setting.v;
    if (device >= 0) what = "device " + std::to_string(device) + " " + str(args[3]);

    OpenLine guard{link_};
    if (!openWithStatus()) return stopped(kExitFailed);
    if (target >= 0 && registry_.zrPresent[static_cast<std::size_t>(target)] != 1)
        return notRegistered("ZR32", args[0], {ModuleFamily::ZR, target});
    const DispatchOutcome outcome = sendZrCommand(link_, zrSendTargets(registry_, target), setting);
    QJsonArray modules;
    const std::string shown = what.ends_with("power") ? ZRPowerName(value) : std::to_string(value);
    for (int m : outcome.answered) {
        out_.line("zr:" + std::to_string(m) + " " + what + " = " + shown + " sent" +
                  (boxes.permanent ? " (permanent)" : ""));
        modules.append("zr:" + QString::number(m));
    }
    out_.result.insert("setting", QString::fromStdString(what));
    out_.result.insert("value", value);
    out_.result.insert("permanent", boxes.permanent);
    out_.result.insert("modules", modules);
    return sent(outcome, what, "zr:") ? kExitOk : kExitFailed;
}

int Command::zrErase(const QStringList& args) {
    expectArguments(args, 1, "zr erase MODULE [--yes]");
    const std::int32_t target = zrTarget(args[0]);
    if (!confirmErase(target < 0 ? "every ZR32 module" : "zr:" + str(args[0]), kZrEraseWarning))
        return kExitFailed;
    OpenLine guard{link_};
    if (!openWithStatus()) return stopped(kExitFailed);
    if (target >= 0 && registry_.zrPresent[static_cast<std::size_t>(target)] != 1)
        return out_.fail(ErrorCode::NotRegistered, "ZR32 module " + str(args[0]) +
                                                       " did not answer the status request; "
                                                       "nothing erased");
    const DispatchOutcome outcome = eraseZrSettings(link_, zrSendTargets(registry_, target));
    QJsonArray erased;
    for (int m : outcome.answered) {
        out_.line("zr:" + std::to_string(m) + " erased");
        erased.append("zr:" + QString::number(m));
    }
    out_.result.insert("erased", erased);
    return sent(outcome, "the erase", "zr:") ? kExitOk : kExitFailed;
}

}  // namespace korvel::ctl
