#include "kx/reply_decoding.h"

namespace korvel {

namespace {

std::optional<KxFieldUpdate> textUpdate(KxField field, int value) {
    return KxFieldUpdate{field, std::to_string(value)};
}

std::optional<KxFieldUpdate> optionUpdate(KxField field, KxOptionSetting setting, int value) {
    if (!isOptionIndex(setting, value)) return std::nullopt;
    return KxFieldUpdate{field, {}, value};
}

// A group entry would expect the address bytes 31..28, which no module sends;
// it is refused outright so that the rule does not rest on the caller's filter.
bool fromModule(const ReplyBuffer& reply, std::int32_t m) {
    return m >= 0 && reply[2] == 32 + m % 16 && reply[3] == 16 * (m / 16) + 10;
}

}  // namespace

bool isSettingsReport(const ReplyBuffer& reply) {
    return reply.lowNibble() > 12 && reply[1] == 0 && reply[2] >= 32 && reply[2] <= 63;
}

std::optional<KxFieldUpdate> DecodeKXReply(const ReplyBuffer& reply, const KxPageInputs& page) {
    // A report can arrive before any Status has filled cboKX; nothing is selected then.
    if (!page.selected || !fromModule(reply, *page.selected)) return std::nullopt;

    const KxSelectors& s = page.selectors;
    const int v = reply[4];
    const int x = reply[5];
    const auto is = [&](int code) { return v == commandByte(code, page.permanent).value(); };
    using N = KxNumberSetting;
    using O = KxOptionSetting;

    if (is(settingCode(N::HFI, s))) return textUpdate(KxField::txtHFI, x);
    if (is(settingCode(N::AlarmDelay, s))) return textUpdate(KxField::txtAL, x);
    if (is(settingCode(N::SwitchDelay, s))) return textUpdate(KxField::txtSW, x);
    if (is(settingCode(N::DCShift, s))) return textUpdate(KxField::txtDCShift, x);
    if (is(settingCode(O::PWMMult))) return optionUpdate(KxField::optPWMM, O::PWMMult, x);
    if (is(settingCode(O::OCDMode))) return optionUpdate(KxField::optOCD, O::OCDMode, x);
    if (is(settingCode(O::MSMode))) return optionUpdate(KxField::optMS, O::MSMode, x);
    if (is(settingCode(O::PowerCtl))) return optionUpdate(KxField::optPC, O::PowerCtl, x);
    if (is(settingCode(N::LoopCurrent, s))) return textUpdate(KxField::txtLC, x);
    if (is(settingCode(N::Address, s))) return textUpdate(KxField::txtAD, x);
    return std::nullopt;
}

}  // namespace korvel
