#include "kx/settings.h"

#include "link/number_text.h"

namespace korvel {

namespace {
constexpr int kPermanentBit = 64;
}  // namespace

KxRange rangeOf(KxNumberSetting setting) {
    switch (setting) {
        case KxNumberSetting::HFI:
            return {0, 15};
        case KxNumberSetting::AlarmDelay:
            return {0, 127};
        case KxNumberSetting::SwitchDelay:
        case KxNumberSetting::DCShift:
            return {0, 7};
        case KxNumberSetting::LoopCurrent:
            return {20, 70};
        case KxNumberSetting::Address:
            return {0, 15};
    }
    return {0, 0};
}

const char* initialText(KxNumberSetting setting) {
    switch (setting) {
        case KxNumberSetting::LoopCurrent:
            return "50";
        case KxNumberSetting::Address:
            return "15";
        default:
            return "0";
    }
}

int settingCode(KxNumberSetting setting, const KxSelectors& s) {
    switch (setting) {
        case KxNumberSetting::HFI:
            return 1;
        case KxNumberSetting::AlarmDelay:
            return 2 + (s.alarmOn ? 1 : 0);
        case KxNumberSetting::SwitchDelay:
            return 4 + (s.switchOn ? 2 : 0) + (s.bank1 ? 1 : 0);
        case KxNumberSetting::DCShift:
            return 8;
        case KxNumberSetting::LoopCurrent:
            return 13 + (s.loopB ? 1 : 0);
        case KxNumberSetting::Address:
            return 15;
    }
    return 0;
}

int settingCode(KxOptionSetting setting) {
    switch (setting) {
        case KxOptionSetting::PWMMult:
            return 9;
        case KxOptionSetting::OCDMode:
            return 10;
        case KxOptionSetting::MSMode:
            return 11;
        case KxOptionSetting::PowerCtl:
            return 12;
    }
    return 0;
}

CommandByte commandByte(int code, bool permanent) {
    return CommandByte((permanent ? kPermanentBit : 0) + code);
}

bool isOptionIndex(KxOptionSetting setting, int index) {
    switch (setting) {
        case KxOptionSetting::PWMMult:
            return index == 2 || index == 4 || index == 8 || index == 16 || index == 32;
        case KxOptionSetting::OCDMode:
        case KxOptionSetting::MSMode:
            return index >= 0 && index <= 2;
        case KxOptionSetting::PowerCtl:
            return index == 0 || index == 1;
    }
    return false;
}

KxCommand numberCommand(KxNumberSetting setting, std::string_view boxText,
                        const KxSelectors& selectors, bool permanent) {
    const KxRange range = rangeOf(setting);
    const RangedValue read = readRanged(boxText, range.minimum, range.maximum);
    KxCommand command{commandByte(settingCode(setting, selectors), permanent), read.value, {}};
    if (read.corrected) command.correctedText = read.text;
    return command;
}

KxCommand optionCommand(KxOptionSetting setting, std::optional<int> selectedIndex, bool permanent) {
    // With no option button selected the value is 0, as for the first choice.
    const int x = selectedIndex && isOptionIndex(setting, *selectedIndex) ? *selectedIndex : 0;
    return {commandByte(settingCode(setting), permanent), x, {}};
}

}  // namespace korvel
