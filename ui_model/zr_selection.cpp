#include "ui_model/zr_selection.h"

#include "service/module_registry.h"

namespace korvel {

ZrReportVisibility ShowZRReportButton(bool show) {
    return {show, false, false};
}

ZrReportVisibility ZRSelectionChanged(std::optional<std::int32_t> selectedItemData) {
    return ShowZRReportButton(selectedItemData.has_value() && *selectedItemData != kAllZR);
}

}  // namespace korvel
