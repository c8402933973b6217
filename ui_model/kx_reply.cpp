#include "ui_model/kx_reply.h"

namespace korvel {

// Shown only while the report's module is selected, and only when it is about
// the setting the page addresses now: Permanent and the selectors as they stand.
std::optional<KxFieldUpdate> DecodeKXReply(const ReplyBuffer& reply, const KxPageInputs& page) {
    // A report can arrive before any Status has filled cboKX; nothing is selected then.
    // A group entry is no module, so no report is ever shown for it.
    if (!page.selected) return std::nullopt;
    const std::optional<KxReport> report = decodeKxReport(reply);
    if (!report || report->module != *page.selected || report->permanent != page.permanent)
        return std::nullopt;
    const KxSettingRow& row = settingRow(report->field);
    if (settingCode(row, report->selectors) != settingCode(row, page.selectors))
        return std::nullopt;
    if (!row.isOption()) return KxFieldUpdate{row.field, std::to_string(report->value)};
    if (!pageCanShow(row, report->value)) return std::nullopt;
    return KxFieldUpdate{row.field, {}, report->value};
}

}  // namespace korvel
