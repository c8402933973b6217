#include "ctl/module_io.h"

#include "kx/commands.h"
#include "kx/reply_decoding.h"
#include "service/dispatch.h"
#include "status/module_lists.h"
#include "zr/zr_commands.h"
#include "zr/zr_replies.h"
#include "zr/zr_report.h"

namespace korvel::ctl {

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
    link.setAnswerListener([&](const ReplyBuffer& reply) {
        const std::optional<KxReport> r = decodeKxReport(reply);
        if (r && r->module == target && r->field == row.field && r->permanent == permanent &&
            settingCode(row.setting(), r->selectors) == settingCode(row.setting(), row.selectors))
            reported = r->value;
    });
    const DispatchOutcome sent = sendKxCommand(link, kxTargets(target, registry.kxTypes), button,
                                               commandFor(row, value, permanent));
    if (sent.done() && target >= 0) {
        const Clock::time_point start = link.clock().now();
        while (!reported && link.clock().now() <= start + kModuleReportWait)
            if (!link.Transact(Frame{})) break;
    }
    link.setAnswerListener({});
    return reported;
}


// Takes the values out of the report as it is written: each line is appended
// right after its answer was recognised in the reply buffer.
class ZrCapture final : public ZrReportInputs {
  public:
    ZrCapture(Link& link, int module, bool permanent) : link_(link), target_{module, permanent} {}
    std::optional<std::int32_t> selectedModule() override { return target_.module; }
    bool permanent() override { return target_.permanent; }

    void take(std::string_view piece) {
        text += piece;
        if (piece.starts_with("ZR32#") || piece.starts_with("Device  ")) return;
        const ReplyBuffer& reply = link_.reply();
        if (auto t = zrDefaultTimingReply(reply, target_)) {
            config.defaultTime = *t;
            defaultSeen = true;
        } else if (auto d = zrDeviceTimingReply(reply, target_); d && d->device < 64) {
            slot(d->device).time = d->value;
            timesSeen[static_cast<std::size_t>(d->device)] = true;
        } else if (auto p = zrDevicePowerReply(reply, target_); p && p->device < 64) {
            slot(p->device).power = p->value;
            powersSeen[static_cast<std::size_t>(p->device)] = true;
        }
    }
    bool complete() const {
        for (std::size_t d = 0; d < 64; ++d)
            if (!timesSeen[d] || !powersSeen[d]) return false;
        return defaultSeen;
    }

    std::string text;
    ZrConfiguration config;

  private:
    ZrDeviceSetting& slot(int device) { return config.devices[static_cast<std::size_t>(device)]; }

    Link& link_;
    ZrTarget target_;
    bool defaultSeen = false;
    std::array<bool, 64> timesSeen{};
    std::array<bool, 64> powersSeen{};
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
                                  const KxSettingName& row, int value, bool permanent,
                                  int retries) {
    (void)retries;
    return kxExchange(link, registry, target, row, KxButton::Set, value, permanent);
}

std::optional<ZrConfiguration> readZrConfiguration(Link& link, int module, bool permanent,
                                                   int retries, std::string* text) {
    for (int tries = 0; tries <= retries && link.portOpen(); ++tries) {
        ZrCapture capture(link, module, permanent);
        RunZRReport(link, capture, [&](std::string_view piece) { capture.take(piece); });
        if (text) *text = capture.text;
        if (capture.complete()) return capture.config;
    }
    return std::nullopt;
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

}  // namespace korvel::ctl
