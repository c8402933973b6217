#include "kx/settings.h"

#include <algorithm>

#include "service/number_text.h"

namespace korvel {

namespace {

constexpr bool rowsFollowTheirFields() {
    for (std::size_t i = 0; i < kKxSettings.size(); ++i)
        if (static_cast<std::size_t>(kKxSettings[i].field) != i) return false;
    return true;
}
static_assert(rowsFollowTheirFields(), "kKxSettings is indexed by KxSettingId");

}  // namespace

int settingCode(const KxSettingRow& row, const KxSelectors& s) {
    const KxSelectorBits& bits = row.selectorBits;
    return row.code + (s.alarmOn ? bits.alarmOn : 0) + (s.switchOn ? bits.switchOn : 0) +
           (s.bank1 ? bits.bank1 : 0) + (s.loopB ? bits.loopB : 0);
}

CommandByte commandByte(int code, bool permanent) {
    return CommandByte(withPermanent(code, permanent));
}

bool isOptionValue(const KxSettingRow& row, int value) {
    return std::ranges::any_of(row.options,
                               [value](const KxOptionValue& o) { return o.value == value; });
}

std::vector<KxSelectors> selectorVariants(const KxSettingRow& row) {
    const KxSelectorBits& bits = row.selectorBits;
    std::vector<KxSelectors> variants;
    for (int mask = 0; mask < 16; ++mask) {
        const KxSelectors s{(mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0, (mask & 8) != 0};
        // A selector the setting does not read would only repeat a variant.
        if ((s.alarmOn && bits.alarmOn == 0) || (s.switchOn && bits.switchOn == 0) ||
            (s.bank1 && bits.bank1 == 0) || (s.loopB && bits.loopB == 0))
            continue;
        variants.push_back(s);
    }
    return variants;
}

KxCommand numberCommand(KxNumberSetting setting, std::string_view boxText,
                        const KxSelectors& selectors, bool permanent) {
    const KxSettingRow& row = settingRow(setting);
    const RangedValue read = readRanged(boxText, row.range.minimum, row.range.maximum);
    KxCommand command{commandByte(settingCode(row, selectors), permanent), read.value, {}};
    if (read.corrected) command.correctedText = read.text;
    return command;
}

KxCommand optionCommand(KxOptionSetting setting, std::optional<int> selected, bool permanent) {
    const KxSettingRow& row = settingRow(setting);
    // With no option chosen the value is 0, as for the first choice.
    const int x = selected && isOptionValue(row, *selected) ? *selected : 0;
    return {commandByte(settingCode(row, {}), permanent), x, {}};
}

}  // namespace korvel
