#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "link/link.h"

namespace korvel {

// What the report reads from the page; it asks again before every request and
// every reply test.
class ZrReportInputs {
  public:
    virtual ~ZrReportInputs() = default;
    // Item data of the selected cboZR entry (-1 for "All"); nullopt when none is selected.
    virtual std::optional<std::int32_t> selectedModule() = 0;
    // The "Permanent" box chkZRperm.
    virtual bool permanent() = 0;
};

// Receives each piece of report text as it is appended (pieces carry their own CR LF).
using ZrReportSink = std::function<void(std::string_view piece)>;

inline constexpr std::chrono::seconds kDefaultTimingWait{2};
inline constexpr std::chrono::seconds kLateReplyWait{10};

// Reads the timing and power configuration of the selected ZR32 module and
// builds its fixed-column report, appending whatever answer arrives in arrival
// order. Returns the text gathered; it stays partial when the run stops early
// (port closed, no answer, or no single module selected).
std::string RunZRReport(Link& link, ZrReportInputs& inputs, const ZrReportSink& sink);

}  // namespace korvel
