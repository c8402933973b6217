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

}  // namespace korvel
