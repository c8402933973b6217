#include "kx/reply_decoding.h"

#include "link/bus_words.h"

namespace korvel {

namespace {

// Byte 3 of a report: the mark, with 16 for the second half of a KX44.
std::optional<int> halfOf(int b3) {
    for (int half : {0, 1})
        if (b3 == kxHalfByte(16 * half, kKxReportMark)) return half;
    return std::nullopt;
}

}  // namespace

bool isSettingsReport(const ReplyBuffer& reply) {
    return reply.lowNibble() > 12 && reply[1] == kToModule && reply[2] >= kKxAddress &&
           reply[2] < kZrAddress;
}

std::optional<KxReport> decodeKxReport(const ReplyBuffer& reply) {
    if (!isSettingsReport(reply) || reply[2] >= kxAddressByte(0) + 16) return std::nullopt;
    const std::optional<int> half = halfOf(reply[3]);
    if (!half) return std::nullopt;
    const int v = reply[4];
    const bool permanent = v >= kPermanentFlag;
    const int code = v - withPermanent(0, permanent);
    for (const KxSettingRow& row : kKxSettings)
        for (const KxSelectors& selectors : selectorVariants(row))
            if (settingCode(row, selectors) == code)
                return KxReport{reply[2] - kxAddressByte(0) + 16 * *half, row.field, selectors,
                                permanent, reply[5]};
    return std::nullopt;
}

bool pageCanShow(const KxSettingRow& row, int value) {
    if (row.isOption()) return isOptionValue(row, value);
    return value >= row.range.minimum && value <= row.range.maximum;
}

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
