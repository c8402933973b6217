#include "ops/module_reads.h"

#include <array>

#include "kx/commands.h"
#include "kx/reply_decoding.h"
#include "link/bus_words.h"
#include "service/dispatch.h"
#include "zr/zr_codes.h"
#include "zr/zr_commands.h"
#include "zr/zr_replies.h"

namespace korvel::ops {

namespace {

// The value goes out as given: the caller checked it, and a restore writes back
// what a module reported even where the page would correct it.
KxCommand commandFor(const KxSettingName& row, int value, bool permanent) {
    return {commandByte(settingCode(row.setting(), row.selectors), permanent), value, {}};
}

// Fetches with empty frames, as the poll timer would, until `arrived` or the
// wait is over; nothing goes out when it is there already.
template <typename Arrived>
void awaitLateAnswer(Link& link, std::chrono::seconds wait, Arrived arrived) {
    if (arrived()) return;
    awaitMessage(
        link, [&](const ReplyBuffer&) { return arrived(); }, link.clock().now() + wait);
}

// True once the command itself went out: only a lost opening frame keeps it back.
bool commandWentOut(const DispatchOutcome& outcome) {
    return outcome.done() || outcome.module >= 0 || !outcome.answered.empty();
}

// Sends one KX command and catches the report of `row` from `module`, waiting
// for a late one with empty frames while the controller answers.
std::optional<int> kxExchange(Link& link, const ModuleRegistry& registry, std::int32_t target,
                              const KxSettingName& row, KxButton button, int value, bool permanent,
                              bool& wentOut) {
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
    wentOut = commandWentOut(sent);
    // The report may still come when only a later frame of the dispatch went unanswered.
    if (wentOut && target >= 0)
        awaitLateAnswer(link, kModuleReportWait, [&] { return reported.has_value(); });
    return reported;
}

// A ZR32 module's values as they come in, and which of them are still missing.
class ZrValues {
  public:
    // Every read, or only `read`.
    explicit ZrValues(ZrTarget target, std::optional<std::size_t> read = std::nullopt)
        : target_(target) {
        if (read) {
            seen_.fill(true);
            seen_[*read] = false;
        }
    }

    void take(const ReplyBuffer& reply) {
        if (const std::optional<int> time = zrDefaultTimingReply(reply, target_)) {
            values_.defaultTime = *time;
            seen_[0] = true;
        }
        if (const std::optional<ZrDeviceValue> v = zrDeviceTimingReply(reply, target_))
            note(v->device, false, v->value);
        if (const std::optional<ZrDeviceValue> v = zrDevicePowerReply(reply, target_))
            note(v->device, true, v->value);
    }
    // The reads in the report's order: 0 the default time, then per device its time and power.
    static constexpr std::size_t kReads = 1 + 2 * kZrDevices;
    bool seen(std::size_t read) const { return seen_[read]; }
    bool complete() const {
        for (bool s : seen_)
            if (!s) return false;
        return true;
    }
    Frame request(std::size_t read) const {
        if (read == 0) return zrDefaultTimingRequest(target_);
        const int device = static_cast<int>((read - 1) / 2);
        return read % 2 == 1 ? zrDeviceTimingRequest(target_, device)
                             : zrDevicePowerRequest(target_, device);
    }
    const ZrConfiguration& values() const { return values_; }

  private:
    void note(int device, bool power, int value) {
        if (device < 0 || device >= kZrDevices) return;
        ZrDeviceSetting& d = values_.devices[static_cast<std::size_t>(device)];
        (power ? d.power : d.time) = value;
        seen_[1 + 2 * static_cast<std::size_t>(device) + (power ? 1 : 0)] = true;
    }
    ZrTarget target_;
    ZrConfiguration values_;
    std::array<bool, kReads> seen_{};
};

}  // namespace

std::optional<int> readKxSetting(Link& link, const ModuleRegistry& registry, int module,
                                 const KxSettingName& row, bool permanent, int retries) {
    std::optional<int> value;
    bool wentOut = false;
    for (int tries = 0; !value && tries <= retries && link.portOpen(); ++tries) {
        const Link::QuickLoss quick(link, tries < retries);
        value = kxExchange(link, registry, module, row, KxButton::Get, 0, permanent,
                           wentOut);  // no value byte
    }
    return value;
}

std::optional<int> writeKxSetting(Link& link, const ModuleRegistry& registry, std::int32_t target,
                                  const KxSettingName& row, int value, bool permanent,
                                  int retries) {
    std::optional<int> confirmed;
    bool wentOut = false;
    for (int tries = 0; !wentOut && tries <= retries && link.portOpen(); ++tries) {
        const Link::QuickLoss quick(link, tries < retries);
        confirmed =
            kxExchange(link, registry, target, row, KxButton::Set, value, permanent, wentOut);
    }
    return confirmed;
}

namespace {

// Rounds over what is still missing: every read is asked once per round, and
// a read leaves the rounds once answered, so each has 1 + `retries` asks of
// its own; a lost exchange costs only its own ask.
std::optional<ZrConfiguration> readZrReads(Link& link, ZrValues& values, int retries) {
    const Link::Subscription answers =
        link.subscribe([&](const ReplyBuffer& reply) { values.take(reply); });
    for (int round = 0; round <= retries && !values.complete() && link.portOpen(); ++round) {
        const Link::QuickLoss quick(link, round < retries);
        for (std::size_t read = 0; read < ZrValues::kReads && link.portOpen(); ++read)
            if (!values.seen(read)) {
                // A request's own answer may carry a value; the listener sees empty frames only.
                link.Transact(values.request(read));
                values.take(link.reply());
            }
        awaitLateAnswer(link, kModuleReportWait, [&] { return values.complete(); });
    }
    if (!values.complete()) return std::nullopt;
    return values.values();
}

}  // namespace

std::optional<ZrConfiguration> readZrValues(Link& link, int module, bool permanent, int retries) {
    if (module < 0 || module > 7) return std::nullopt;
    ZrValues values({module, permanent});
    return readZrReads(link, values, retries);
}

std::optional<int> readZrValue(Link& link, int module, bool permanent, const ZrWriteStep& step,
                               int retries) {
    if (module < 0 || module > 7) return std::nullopt;
    const std::size_t read =
        step.device < 0 ? 0 : 1 + 2 * static_cast<std::size_t>(step.device) + (step.power ? 1 : 0);
    ZrValues values({module, permanent}, read);
    const std::optional<ZrConfiguration> c = readZrReads(link, values, retries);
    if (!c) return std::nullopt;
    return zrValueOf(*c, step);
}

std::vector<ZrWriteStep> zrWriteSteps(const ZrConfiguration& c) {
    std::vector<ZrWriteStep> steps{{"default-time", -1, false, c.defaultTime}};
    for (int d = 0; d < kZrDevices; ++d) {
        const ZrDeviceSetting& s = c.devices[static_cast<std::size_t>(d)];
        const std::string device = "device " + std::to_string(d);
        steps.push_back({device + " time", d, false, s.time});
        steps.push_back({device + " power", d, true, s.power});
    }
    return steps;
}

int zrValueOf(const ZrConfiguration& c, const ZrWriteStep& step) {
    if (step.device < 0) return c.defaultTime;
    const ZrDeviceSetting& d = c.devices[static_cast<std::size_t>(step.device)];
    return step.power ? d.power : d.time;
}

bool writeZrStep(Link& link, const std::vector<int>& modules, const ZrWriteStep& step,
                 bool permanent, int retries) {
    ZrSetting setting;
    if (step.device < 0) {
        setting.n = 2;
        setting.c = withPermanent(kZrTimeCode, permanent);
        setting.v = step.value;
    } else {
        setting.n = 3;
        setting.c = withPermanent(step.power ? kZrPowerCode : kZrTimeCode, permanent);
        setting.v = step.device;
        setting.x = step.value;
    }
    DispatchOutcome outcome;
    for (int tries = 0; tries <= retries && link.portOpen(); ++tries) {
        const Link::QuickLoss quick(link, tries < retries);
        if (commandWentOut(outcome = sendZrCommand(link, modules, setting))) break;
    }
    return outcome.done();
}

}  // namespace korvel::ops
