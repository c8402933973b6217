#include "zr/zr_report.h"

#include <vector>

#include "zr/zr_replies.h"

namespace korvel {

namespace {

using Kind = ZrReportItem::Kind;

class ReportRun {
  public:
    ReportRun(Link& link, ZrReportInputs& inputs, const ZrItemSink& sink)
        : link_(link), inputs_(inputs), sink_(sink) {}

    bool run();

  private:
    std::optional<ZrTarget> target();
    bool request(const std::function<Frame(ZrTarget)>& build);
    void emit(const ZrReportItem& item) {
        if (sink_) sink_(item);
    }
    bool headerLine();
    bool defaultTiming();
    bool sweep();
    bool lateReplies();
    bool testDeviceReplies();

    Link& link_;
    ZrReportInputs& inputs_;
    const ZrItemSink& sink_;
    int last_ = 0;
};

bool ReportRun::run() {
    if (!link_.portOpen()) return false;
    if (!link_.Transact(Frame{})) return false;
    if (!headerLine() || !defaultTiming()) return false;
    emit({Kind::Columns});
    if (!sweep()) return false;
    return lateReplies();
}

// Only a single module can be read; "All" would put a KX address on the bus.
std::optional<ZrTarget> ReportRun::target() {
    const std::optional<std::int32_t> module = inputs_.selectedModule();
    if (!module || *module < 0 || *module > 7) return std::nullopt;
    return ZrTarget{*module, inputs_.permanent()};
}

bool ReportRun::request(const std::function<Frame(ZrTarget)>& build) {
    const std::optional<ZrTarget> t = target();
    return t && link_.Transact(build(*t));
}

bool ReportRun::headerLine() {
    const std::optional<ZrTarget> t = target();
    if (!t) return false;
    emit({Kind::Header, t->module, t->permanent});
    return true;
}

// A module that stays silent simply leaves the report without this line.
bool ReportRun::defaultTiming() {
    const Clock::time_point start = link_.clock().now();
    if (!request(zrDefaultTimingRequest)) return false;
    bool lost = false;
    const auto found = [&](const ReplyBuffer& reply) {
        const std::optional<ZrTarget> t = target();
        lost = !t;
        const std::optional<int> time = t ? zrDefaultTimingReply(reply, *t) : std::nullopt;
        if (time) emit({.kind = Kind::DefaultTime, .value = *time});
        return lost || time.has_value();
    };
    if (found(link_.reply())) return !lost;
    const Awaited awaited = awaitMessage(link_, found, start + kDefaultTimingWait);
    return !lost && awaited.outcome == ExchangeOutcome::Answered;
}

bool ReportRun::sweep() {
    for (int d = 0; d < kZrDevices; ++d) {
        if (!request([d](ZrTarget t) { return zrDeviceTimingRequest(t, d); })) return false;
        if (!testDeviceReplies()) return false;
        if (!request([d](ZrTarget t) { return zrDevicePowerRequest(t, d); })) return false;
        if (!testDeviceReplies()) return false;
    }
    return true;
}

// Answers still on their way are fetched with empty frames until the power of
// the last device has come in or the wait is over.
bool ReportRun::lateReplies() {
    bool lost = false;
    const Awaited awaited = awaitMessage(
        link_,
        [&](const ReplyBuffer&) {
            lost = !testDeviceReplies();
            return lost || last_ == kZrDevices - 1;
        },
        link_.clock().now() + kLateReplyWait);
    return !lost && awaited.outcome == ExchangeOutcome::Answered;
}

// Any frame may carry the answer of an earlier device, so the device number
// comes from the answer, not from the sweep.
bool ReportRun::testDeviceReplies() {
    std::optional<ZrTarget> t = target();
    if (!t) return false;
    if (const std::optional<ZrDeviceValue> timing = zrDeviceTimingReply(link_.reply(), *t))
        emit({.kind = Kind::DeviceTime, .device = timing->device, .value = timing->value});
    t = target();
    if (!t) return false;
    if (const std::optional<ZrDeviceValue> power = zrDevicePowerReply(link_.reply(), *t)) {
        emit({.kind = Kind::DevicePower, .device = power->device, .value = power->value});
        last_ = power->device;
    }
    return true;
}

// The report's inputs for a module the caller names.
class FixedTarget final : public ZrReportInputs {
  public:
    explicit FixedTarget(ZrTarget t) : target_(t) {}
    std::optional<std::int32_t> selectedModule() override { return target_.module; }
    bool permanent() override { return target_.permanent; }

  private:
    ZrTarget target_;
};

// The values of one module as they come in, and which of them are still missing.
class Collected {
  public:
    void take(const ZrReportItem& item) {
        const bool device = item.device >= 0 && item.device < kZrDevices;
        const auto d = static_cast<std::size_t>(item.device);
        if (item.kind == Kind::DefaultTime) {
            values_.defaultTime = item.value;
            defaultSeen_ = true;
        } else if (item.kind == Kind::DeviceTime && device) {
            values_.devices[d].time = item.value;
            timeSeen_[d] = true;
        } else if (item.kind == Kind::DevicePower && device) {
            values_.devices[d].power = item.value;
            powerSeen_[d] = true;
        }
    }

    // Any of the module's answers in the reply buffer.
    void takeReply(const ReplyBuffer& reply, ZrTarget t) {
        if (const std::optional<int> time = zrDefaultTimingReply(reply, t))
            take({.kind = Kind::DefaultTime, .value = *time});
        if (const std::optional<ZrDeviceValue> v = zrDeviceTimingReply(reply, t))
            take({.kind = Kind::DeviceTime, .device = v->device, .value = v->value});
        if (const std::optional<ZrDeviceValue> v = zrDevicePowerReply(reply, t))
            take({.kind = Kind::DevicePower, .device = v->device, .value = v->value});
    }

    // The requests of the values that have not come, in the report's order.
    std::vector<Frame> missingRequests(ZrTarget t) const {
        std::vector<Frame> requests;
        if (!defaultSeen_) requests.push_back(zrDefaultTimingRequest(t));
        for (int d = 0; d < kZrDevices; ++d) {
            if (!timeSeen_[static_cast<std::size_t>(d)])
                requests.push_back(zrDeviceTimingRequest(t, d));
            if (!powerSeen_[static_cast<std::size_t>(d)])
                requests.push_back(zrDevicePowerRequest(t, d));
        }
        return requests;
    }

    bool complete() const {
        for (std::size_t d = 0; d < timeSeen_.size(); ++d)
            if (!timeSeen_[d] || !powerSeen_[d]) return false;
        return defaultSeen_;
    }
    const ZrConfiguration& values() const { return values_; }

  private:
    ZrConfiguration values_;
    bool defaultSeen_ = false;
    std::array<bool, kZrDevices> timeSeen_{};
    std::array<bool, kZrDevices> powerSeen_{};
};

// Asks once more for what is missing, then fetches late answers as the report
// does; false when the controller stopped answering.
bool askAgain(Link& link, ZrTarget t, Collected& collected) {
    for (const Frame& request : collected.missingRequests(t)) {
        if (!link.Transact(request)) return false;
        collected.takeReply(link.reply(), t);
    }
    if (collected.complete()) return true;
    return awaitMessage(
               link,
               [&](const ReplyBuffer& reply) {
                   collected.takeReply(reply, t);
                   return collected.complete();
               },
               link.clock().now() + kLateReplyWait)
               .outcome == ExchangeOutcome::Answered;
}

}  // namespace

bool readZrReport(Link& link, ZrReportInputs& inputs, const ZrItemSink& sink) {
    return ReportRun(link, inputs, sink).run();
}

std::optional<ZrConfiguration> readZrConfiguration(Link& link, int module, bool permanent,
                                                   int retries) {
    if (module < 0 || module > 7) return std::nullopt;
    const ZrTarget target{module, permanent};
    FixedTarget inputs(target);
    Collected collected;
    readZrReport(link, inputs, [&](const ZrReportItem& item) { collected.take(item); });
    for (int round = 0; round < retries && !collected.complete() && link.portOpen(); ++round)
        askAgain(link, target, collected);
    if (!collected.complete()) return std::nullopt;
    return collected.values();
}

}  // namespace korvel
