#pragma once

#include <cstdint>
#include <optional>

namespace korvel {

// Visibility of the report controls: cmdGetZRConfig, cmdHideZRConfig, textZRReport.
struct ZrReportVisibility {
    bool getConfig = false;
    bool hideResult = false;
    bool report = false;
    bool operator==(const ZrReportVisibility&) const = default;
};

// The report button shows or hides; any report on screen goes away.
ZrReportVisibility ShowZRReportButton(bool show);

// A single module can be reported on, the "All" entry cannot; with nothing
// selected there is nothing to read either.
ZrReportVisibility ZRSelectionChanged(std::optional<std::int32_t> selectedItemData);

}  // namespace korvel
