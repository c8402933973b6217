#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "link/link.h"

namespace korvel {

// Which module the report reads and whether its permanent settings; the report
// asks again before every request and every reply test, as a choice may change
// while it runs.
class ZrReportInputs {
  public:
    virtual ~ZrReportInputs() = default;
    // The module 0..7, -1 for every module (which cannot be read); nullopt for none.
    virtual std::optional<std::int32_t> selectedModule() = 0;
    virtual bool permanent() = 0;
};

// One step of a report run as it happens: the heading lines, and each answer
// decoded into its values.
struct ZrReportItem {
    enum class Kind { Header, DefaultTime, Columns, DeviceTime, DevicePower };
    Kind kind = Kind::Header;
    int module = 0;          // Header
    bool permanent = false;  // Header
    int device = 0;          // DeviceTime, DevicePower: as the answer names it, 0..127
    int value = 0;           // times in 1/60 s; the power code

    bool operator==(const ZrReportItem&) const = default;
};
using ZrItemSink = std::function<void(const ZrReportItem& item)>;

inline constexpr std::chrono::seconds kDefaultTimingWait{2};
inline constexpr std::chrono::seconds kLateReplyWait{10};
inline constexpr int kZrDevices = 64;

// Runs the exchanges of the selected ZR32 module's configuration report and
// hands over each item the moment its answer is recognised, in arrival order.
// False when the run stopped early (port closed, no answer from the controller,
// or no single module selected).
bool readZrReport(Link& link, ZrReportInputs& inputs, const ZrItemSink& sink);

// One module's values as its report gives them.
struct ZrDeviceSetting {
    int time = 0;
    int power = 0;
    bool operator==(const ZrDeviceSetting&) const = default;
};
struct ZrConfiguration {
    int defaultTime = 0;
    std::array<ZrDeviceSetting, kZrDevices> devices{};
    bool operator==(const ZrConfiguration&) const = default;
};

}  // namespace korvel
