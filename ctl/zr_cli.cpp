// zr report, set and erase: the ZR32 page's buttons from a terminal.
#include <QRegularExpression>

#include "ctl/command.h"
#include "ctl/handlers.h"
#include "ops/zr_ops.h"
#include "service/number_text.h"
#include "zr/zr_commands.h"
#include "zr/zr_format.h"

namespace korvel::ctl {

using namespace korvel::ops;

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

// A number as the page reads it, corrected into its range; standard error
// says a correction, where the page shows it in its box.
int rangedNumber(const QString& text, const char* what, const char* name, int maximum,
                 const char* correction, const Output& out) {
    const RangedValue ranged = readRanged(numberText(text, what), 0, maximum);
    if (ranged.corrected)
        out.note(std::string(name) + " " + str(text) + " is out of range 0-" +
                 std::to_string(maximum) + ": " + ranged.text + " " + correction);
    return ranged.value;
}

const char* kSetUsage =
    "zr set MODULE default-time T | MODULE device D time T | MODULE device D power P";

}  // namespace

int zrReport(Command& c, const QStringList& args) {
    expectArguments(args, 1, "zr report MODULE [--permanent]");
    const std::int32_t module = zrTarget(args[0]);
    if (module < 0) throw UsageError{"zr report reads one module, not All"};
    OpenLine guard{c.link};
    if (!c.openWithStatus()) return c.stopped(kExitFailed);
    const std::string name = moduleNameText({ModuleFamily::ZR, module});
    const ZrReportResult r = ops::zrReport(c.bus, module, c.isSet("permanent"));
    if (r.failure && r.failure->error == OpError::NotRegistered)
        return c.notRegistered("ZR32", args[0], {ModuleFamily::ZR, module});
    const std::string text = results::zrReportText(r.items);
    c.out.line(text);
    c.out.take(results::zrReportJson(module, c.isSet("permanent"), text));
    if (!r.whole) return c.out.fail(ErrorCode::NoAnswer, name + ": the report is incomplete", name);
    return kExitOk;
}

int zrSet(Command& c, const QStringList& args) {
    if (args.size() < 3) throw UsageError{std::string("usage: korvelctl ") + kSetUsage};
    const std::int32_t target = zrTarget(args[0]);
    const bool permanent = c.isSet("permanent");
    ZrWriteStep step;
    if (args[1] == "default-time" && args.size() == 3) {
        step = {"default-time", -1, false,
                rangedNumber(args[2], "default-time", "time", kZrMaxTime, "sent instead", c.out)};
    } else if (args[1] == "device" && args.size() == 5 &&
               (args[3] == "time" || args[3] == "power")) {
        const bool power = args[3] == "power";
        const int value =
            power ? powerCode(args[4])
                  : rangedNumber(args[4], "time", "time", kZrMaxTime, "sent instead", c.out);
        step.device =
            rangedNumber(args[2], "device", "device", kZrMaxDevice, "used instead", c.out);
        step.power = power;
        step.value = value;
        step.name = "device " + std::to_string(step.device) + " " + str(args[3]);
    } else {
        throw UsageError{std::string("usage: korvelctl ") + kSetUsage};
    }
    OpenLine guard{c.link};
    if (!c.openWithStatus()) return c.stopped(kExitFailed);
    const ZrSetResult r = ops::zrSet(c.bus, target, step, permanent);
    if (r.failure && r.failure->error == OpError::NotRegistered && target >= 0)
        return c.notRegistered("ZR32", args[0], {ModuleFamily::ZR, target});
    c.out.take(results::zrSetJson(r, step.name, step.value, permanent));
    const std::string shown = step.power ? ZRPowerName(step.value) : std::to_string(step.value);
    for (const ZrSetModule& m : r.modules) {
        if (!m.confirmed) continue;
        c.out.line(moduleNameText(m.module) + " " + step.name + " = " + shown + " confirmed" +
                   (permanent ? " (permanent)" : ""));
    }
    int exit = kExitOk;
    for (const ZrSetModule& m : r.modules)
        if (!m.confirmed) {
            const std::string name = moduleNameText(m.module);
            exit = c.out.fail(
                ErrorCode::NotConfirmed,
                name + ' ' + step.name + ": not confirmed" +
                    (m.reported ? " (the module reports " + std::to_string(*m.reported) + ")"
                                : " (no answer)"),
                name, step.name);
        }
    if (r.failure && r.modules.empty()) return c.failed(*r.failure, step.name);
    return exit;
}

int zrErase(Command& c, const QStringList& args) {
    expectArguments(args, 1, "zr erase MODULE [--yes]");
    const std::int32_t target = zrTarget(args[0]);
    if (!c.confirmErase(target < 0 ? "every ZR32 module" : "zr:" + str(args[0])))
        return kExitFailed;
    OpenLine guard{c.link};
    if (!c.openWithStatus()) return c.stopped(kExitFailed);
    const ZrEraseResult r = ops::zrErase(c.bus, target);
    if (r.failure && r.failure->error == OpError::NotRegistered && target >= 0)
        return c.out.fail(ErrorCode::NotRegistered, "ZR32 module " + str(args[0]) +
                                                        " did not answer the status request; "
                                                        "nothing erased",
                          moduleNameText({ModuleFamily::ZR, target}));
    std::vector<std::string> erased;
    for (const ModuleName& m : r.erased) {
        erased.push_back(moduleNameText(m));
        c.out.line(erased.back() + " erased");
    }
    c.out.take(results::erasedJson(erased));
    return r.failure ? c.failed(*r.failure, "the erase") : kExitOk;
}

}  // namespace korvel::ctl
