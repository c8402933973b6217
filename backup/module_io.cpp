#include "backup/module_io.h"

#include <set>

#include "kx/commands.h"
#include "kx/reply_decoding.h"
#include "service/dispatch.h"
#include "status/module_lists.h"
#include "zr/zr_commands.h"
#include "zr/zr_format.h"
#include "zr/zr_report.h"

namespace korvel::backup {

namespace {

// The value goes out as given: the caller checked it, and a restore writes back
// what a module reported even where the page would correct it.
KxCommand commandFor(const KxSettingName& row, int value, bool permanent) {
    return {commandByte(settingCode(row.setting(), row.selectors), permanent), value, {}};
}

// Sends one KX command and catches the report of `row` from `module`, waiting
// for a late one with empty frames while the controller answers.
std::optional<int> kxExchange(Link& link, const ModuleRegistry& registry, std::int32_t target,
                              const KxSettingName& row, KxButton button, int value, bool permanent) {
    std::optional<int> reported;
    // The value as the module reported it, whether or not the page could show it.
    const Link::Subscription reports = link.subscribe([&](const ReplyBuffer& reply) {
        const std::optional<KxReport> r = decodeKxReport(reply);
        if (r && r->module == target && r->field == row.field && r->permanent == permanent &&
            settingCode(row.setting(), r->selectors) == settingCode(row.setting(), row.selectors))
            reported = r->value;
    });
    const DispatchOutcome sent = sendKxCommand(link, kxTargets(target, registry.kxTypes), button,
                                               commandFor(row, value, permanent));
    if (sent.done() && target >= 0 && !reported)
        awaitMessage(
            link, [&](const ReplyBuffer&) { return reported.has_value(); },
            link.clock().now() + kModuleReportWait);
    return reported;
}


// The report's inputs for one module, as the page would give them.
class OneModule final : public ZrReportInputs {
  public:
    OneModule(int module, bool permanent) : module_(module), permanent_(permanent) {}
    std::optional<std::int32_t> selectedModule() override { return module_; }
    bool permanent() override { return permanent_; }

  private:
    int module_;
    bool permanent_;
};

}  // namespace

std::optional<int> readKxSetting(Link& link, const ModuleRegistry& registry, int module,
                                 const KxSettingName& row, bool permanent, int retries) {
    std::optional<int> value;
    for (int tries = 0; !value && tries <= retries && link.portOpen(); ++tries)
        value = kxExchange(link, registry, module, row, KxButton::Get, 0, permanent);  // no value byte
    return value;
}

std::optional<int> writeKxSetting(Link& link, const ModuleRegistry& registry, std::int32_t target,
                                  const KxSettingName& row, int value, bool permanent) {
    return kxExchange(link, registry, target, row, KxButton::Set, value, permanent);
}

bool zrReportText(Link& link, int module, bool permanent, int retries, std::string& text) {
    using Kind = ZrReportItem::Kind;
    for (int tries = 0; tries <= retries && link.portOpen(); ++tries) {
        text.clear();
        // Whole when the default time and each device's time and power came.
        std::set<std::pair<Kind, int>> seen;
        OneModule inputs(module, permanent);
        readZrReport(link, inputs, [&](const ZrReportItem& item) {
            text += formatZrReportItem(item);
            if (item.kind != Kind::Header && item.kind != Kind::Columns &&
                item.device < kZrDevices)
                seen.insert({item.kind, item.kind == Kind::DefaultTime ? 0 : item.device});
        });
        if (seen.size() == 1 + 2 * kZrDevices) return true;
    }
    return false;
}

std::vector<ZrWriteStep> zrWriteSteps(const ZrConfiguration& c) {
    std::vector<ZrWriteStep> steps{{"default-time", -1, false, c.defaultTime}};
    for (int d = 0; d < 64; ++d) {
        const ZrDeviceSetting& s = c.devices[static_cast<std::size_t>(d)];
        const std::string device = "device " + std::to_string(d);
        steps.push_back({device + " time", d, false, s.time});
        steps.push_back({device + " power", d, true, s.power});
    }
    return steps;
}

bool writeZrStep(Link& link, int module, const ZrWriteStep& step, bool permanent) {
    ZrSettingBoxes boxes;
    boxes.permanent = permanent;
    boxes.deviceText = std::to_string(step.device);
    boxes.timeText = std::to_string(step.value);
    ZrSetting setting;
    if (step.device < 0) {
        setting = zrDefaultTimeSetting(boxes);
    } else if (!step.power) {
        setting = zrDeviceTimeSetting(boxes);
    } else {
        boxes.power = {false, false, false, false};
        boxes.power[static_cast<std::size_t>(step.value)] = true;
        setting = zrDevicePowerSetting(boxes);
    }
    return sendZrCommand(link, std::vector<int>{module}, setting).done();
}

}  // namespace korvel::backup
