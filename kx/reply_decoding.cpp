#include "kx/reply_decoding.h"

#include "link/bus_words.h"

namespace korvel {

namespace {

// A group entry would expect the address bytes 31..28, which no module sends;
// it is refused outright so that the rule does not rest on the caller's filter.
bool fromModule(const ReplyBuffer& reply, std::int32_t m) {
    return m >= 0 && reply[2] == kxAddressByte(m) && reply[3] == kxHalfByte(m, kKxReportMark);
}

}  // namespace

bool isSettingsReport(const ReplyBuffer& reply) {
    return reply.lowNibble() > 12 && reply[1] == kToModule && reply[2] >= kKxAddress &&
           reply[2] < kZrAddress;
}

std::optional<KxFieldUpdate> DecodeKXReply(const ReplyBuffer& reply, const KxPageInputs& page) {
    // A report can arrive before any Status has filled cboKX; nothing is selected then.
    if (!page.selected || !fromModule(reply, *page.selected)) return std::nullopt;

    const int v = reply[4];
    const int x = reply[5];
    for (const KxSettingRow& row : kKxSettings) {
        if (v != commandByte(settingCode(row, page.selectors), page.permanent).value()) continue;
        if (!row.isOption()) return KxFieldUpdate{row.field, std::to_string(x)};
        if (!isOptionIndex(row, x)) return std::nullopt;
        return KxFieldUpdate{row.field, {}, x};
    }
    return std::nullopt;
}

}  // namespace korvel
