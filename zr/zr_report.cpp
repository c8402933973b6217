#include "zr/zr_report.h"

#include "zr/zr_format.h"
#include "zr/zr_replies.h"

namespace korvel {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr int kDevices = 64;

class ReportRun {
  public:
    ReportRun(Link& link, ZrReportInputs& inputs, const ZrReportSink& sink)
        : link_(link), inputs_(inputs), sink_(sink) {}

    std::string run();

  private:
    std::optional<ZrTarget> target();
    bool request(const std::function<Frame(ZrTarget)>& build);
    void append(const std::string& piece);
    bool headerLine();
    bool defaultTiming();
    bool sweep();
    void lateReplies();
    bool testDeviceReplies();

    Link& link_;
    ZrReportInputs& inputs_;
    const ZrReportSink& sink_;
    std::string text_;
    int last_ = 0;
};

std::string ReportRun::run() {
    if (!link_.portOpen()) return text_;
    if (!link_.Transact(Frame{})) return text_;
    if (!headerLine() || !defaultTiming()) return text_;
    append(std::string("Device  Timing  Power") + kLineEnd);
    if (sweep()) lateReplies();
    return text_;
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

void ReportRun::append(const std::string& piece) {
    text_ += piece;
    if (sink_) sink_(piece);
}

bool ReportRun::headerLine() {
    const std::optional<ZrTarget> t = target();
    if (!t) return false;
    append("ZR32#" + std::to_string(t->module) +
           (t->permanent ? " Permanent settings:" : " Active settings:") + kLineEnd);
    return true;
}

// A module that stays silent simply leaves the report without this line.
bool ReportRun::defaultTiming() {
    const Clock::time_point start = link_.clock().now();
    if (!request(zrDefaultTimingRequest)) return false;
    bool found = false;
    do {
        const std::optional<ZrTarget> t = target();
        if (!t) return false;
        if (const std::optional<int> time = zrDefaultTimingReply(link_.reply(), *t)) {
            append("Default Timing =" + FormatZRTime(*time) + kLineEnd);
            found = true;
        } else if (!link_.Transact(Frame{})) {
            return false;
        }
    } while (!found && link_.clock().now() <= start + kDefaultTimingWait);
    return true;
}

bool ReportRun::sweep() {
    for (int d = 0; d < kDevices; ++d) {
        if (!request([d](ZrTarget t) { return zrDeviceTimingRequest(t, d); })) return false;
        if (!testDeviceReplies()) return false;
        if (!request([d](ZrTarget t) { return zrDevicePowerRequest(t, d); })) return false;
        if (!testDeviceReplies()) return false;
    }
    return true;
}

// Answers still on their way are fetched with empty frames until the power of
// the last device has come in or the wait is over.
void ReportRun::lateReplies() {
    const Clock::time_point start = link_.clock().now();
    do {
        if (!link_.Transact(Frame{})) return;
        if (!testDeviceReplies()) return;
    } while (link_.clock().now() <= start + kLateReplyWait && last_ != kDevices - 1);
}

// Any frame may carry the answer of an earlier device, so the device number
// comes from the answer, not from the sweep.
bool ReportRun::testDeviceReplies() {
    std::optional<ZrTarget> t = target();
    if (!t) return false;
    if (const std::optional<ZrDeviceValue> timing = zrDeviceTimingReply(link_.reply(), *t))
        append(AlignNumber(timing->device, 6) + FormatZRTime(timing->value));
    t = target();
    if (!t) return false;
    if (const std::optional<ZrDeviceValue> power = zrDevicePowerReply(link_.reply(), *t)) {
        append("  " + ZRPowerName(power->value) + kLineEnd);
        last_ = power->device;
    }
    return true;
}

}  // namespace

std::string RunZRReport(Link& link, ZrReportInputs& inputs, const ZrReportSink& sink) {
    return ReportRun(link, inputs, sink).run();
}

}  // namespace korvel
