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

}  // namespace

bool readZrReport(Link& link, ZrReportInputs& inputs, const ZrItemSink& sink) {
    return ReportRun(link, inputs, sink).run();
}

}  // namespace korvel
