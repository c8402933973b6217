#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "link/frame.h"

namespace korvel {

// Settings whose value is typed into a text box with a spinner.
enum class KxNumberSetting { HFI, AlarmDelay, SwitchDelay, DCShift, LoopCurrent, Address };
// Settings whose value is the index of the selected option button.
enum class KxOptionSetting { PWMMult, OCDMode, MSMode, PowerCtl };

// The selector buttons that pick which variant of a setting a command addresses.
struct KxSelectors {
    bool alarmOn = false;   // optAL(1) "On-delay"
    bool switchOn = false;  // optSW(1) "On-delay"
    bool bank1 = false;     // optBank(1) "Bank 1"
    bool loopB = false;     // OptLC(1) "Loop B"
};

struct KxRange {
    int minimum;
    int maximum;
};
// The range of a text box and of its spinner.
KxRange rangeOf(KxNumberSetting setting);
// The initial text of a text box.
const char* initialText(KxNumberSetting setting);

// Setting code in bits 0..5 of the command byte, selector bits included.
int settingCode(KxNumberSetting setting, const KxSelectors& selectors);
int settingCode(KxOptionSetting setting);
// Command byte v: the Permanent flag (bit 6) over the setting code.
CommandByte commandByte(int code, bool permanent);

// True when `index` names an option button of the setting (optPWMM 2..32, optOCD 0..2, ...).
bool isOptionIndex(KxOptionSetting setting, int index);

// What a Set or Get button sends: command byte v and value byte x (also built
// for Get, where it is not sent), and the box text after range correction.
struct KxCommand {
    CommandByte v;
    CommandByte x;
    std::optional<std::string> correctedText;  // set when the box must be rewritten
};

KxCommand numberCommand(KxNumberSetting setting, std::string_view boxText,
                        const KxSelectors& selectors, bool permanent);
// `selectedIndex` is the index of the selected option button, nullopt when none is.
KxCommand optionCommand(KxOptionSetting setting, std::optional<int> selectedIndex, bool permanent);

// Erase of all settings: code 0 with bit 6 set, whatever the Permanent box says.
inline constexpr int kEraseCode = 64;

}  // namespace korvel
