#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/bus_words.h"
#include "link/frame.h"

namespace korvel {

// The KX settings, in page order; a settings report fills one.
enum class KxSettingId {
    Hfi,
    AlarmDelay,
    SwitchDelay,
    DcShift,
    PwmMult,
    OcdMode,
    MsMode,
    PowerCtl,
    LoopCurrent,
    Address
};

// Settings whose value is a number in a range.
enum class KxNumberSetting {
    HFI = static_cast<int>(KxSettingId::Hfi),
    AlarmDelay = static_cast<int>(KxSettingId::AlarmDelay),
    SwitchDelay = static_cast<int>(KxSettingId::SwitchDelay),
    DCShift = static_cast<int>(KxSettingId::DcShift),
    LoopCurrent = static_cast<int>(KxSettingId::LoopCurrent),
    Address = static_cast<int>(KxSettingId::Address),
};
// Settings whose value is one of a few choices.
enum class KxOptionSetting {
    PWMMult = static_cast<int>(KxSettingId::PwmMult),
    OCDMode = static_cast<int>(KxSettingId::OcdMode),
    MSMode = static_cast<int>(KxSettingId::MsMode),
    PowerCtl = static_cast<int>(KxSettingId::PowerCtl),
};

constexpr KxSettingId fieldOf(KxNumberSetting setting) {
    return static_cast<KxSettingId>(setting);
}
constexpr KxSettingId fieldOf(KxOptionSetting setting) {
    return static_cast<KxSettingId>(setting);
}

// The selectors that pick which variant of a setting a command addresses.
struct KxSelectors {
    bool alarmOn = false;   // the alarm's on-delay rather than its off-delay
    bool switchOn = false;  // the switch's on-delay rather than its off-delay
    bool bank1 = false;     // bank 1 rather than bank 0
    bool loopB = false;     // loop B rather than loop A

    bool operator==(const KxSelectors&) const = default;
};

// What each selector adds to a setting's code when it is on; 0 where it does not apply.
struct KxSelectorBits {
    int alarmOn = 0;
    int switchOn = 0;
    int bank1 = 0;
    int loopB = 0;
};

struct KxRange {
    int minimum;
    int maximum;
};

// One choice: the value it sends and shows, and its caption.
struct KxOptionValue {
    int value;
    const char* caption;
};

// Which module kinds offer a setting. A panel that every kind offers is left
// as it is by a change of selection.
struct KxOffer {
    bool kxH = false;
    bool kx44 = false;
    bool wobe = false;
    // A single KX44 lets the value be read but not set.
    bool kx44Reads = false;

    constexpr bool everyKind() const { return kxH && kx44 && wobe; }
};

// One setting as the wire, the page and the terminal know it.
struct KxSettingRow {
    KxSettingId field;
    const char* name;      // the window's caption; its buttons read "Set <name>" and "Get <name>"
    const char* termName;  // korvelctl's word for it; its selectors add options
    int code;              // bits 0..5 of the command byte with every selector off
    KxSelectorBits selectorBits;
    KxRange range;                           // the accepted values
    const char* initialText;                 // the value shown at start; null for option settings
    std::span<const KxOptionValue> options;  // the choices in page order; empty for numbers
    KxOffer offer;

    constexpr bool isOption() const { return !options.empty(); }
};

inline constexpr KxOptionValue kPwmMultOptions[] = {
    {2, "2"}, {4, "4"}, {8, "8"}, {16, "16"}, {32, "32"}};
inline constexpr KxOptionValue kOcdModeOptions[] = {{0, "Fast"}, {1, "Moderate"}, {2, "Slow"}};
inline constexpr KxOptionValue kMsModeOptions[] = {{0, "Auto"}, {1, "Master"}, {2, "Slave"}};
inline constexpr KxOptionValue kPowerCtlOptions[] = {{0, "Single"}, {1, "Double"}};

inline constexpr KxOffer kUpperKinds{.kxH = true, .kx44 = true};
inline constexpr KxOffer kEveryKind{.kxH = true, .kx44 = true, .wobe = true};

// Every KX setting, indexed by its field: field, caption, terminal name, code,
// selector bits, range, initial text, options; which kinds offer it.
// clang-format off
inline constexpr auto kKxSettings = std::to_array<KxSettingRow>({
    {KxSettingId::Hfi, "HFI-level", "hfi", 1, {}, {0, 15}, "0", {}, kUpperKinds},
    {KxSettingId::AlarmDelay, "Alarm-delay", "alarm-delay", 2, {.alarmOn = 1}, {0, 127}, "0", {},
     kUpperKinds},
    {KxSettingId::SwitchDelay, "Switch-delay", "switch-delay", 4, {.switchOn = 2, .bank1 = 1}, {0, 7}, "0", {},
     kEveryKind},
    {KxSettingId::DcShift, "DC-Shift", "dc-shift", 8, {}, {0, 7}, "0", {}, kUpperKinds},
    {KxSettingId::PwmMult, "PWM-Mult.", "pwm", 9, {}, {2, 32}, nullptr, kPwmMultOptions,
     kUpperKinds},
    {KxSettingId::OcdMode, "OCD-mode", "ocd", 10, {}, {0, 2}, nullptr, kOcdModeOptions,
     kUpperKinds},
    {KxSettingId::MsMode, "MS-mode", "ms", 11, {}, {0, 2}, nullptr, kMsModeOptions,
     {.kxH = true, .kx44Reads = true}},
    {KxSettingId::PowerCtl, "Power CTL", "power", 12, {}, {0, 1}, nullptr, kPowerCtlOptions,
     {.kxH = true}},
    {KxSettingId::LoopCurrent, "Loop Current", "loop-current", 13, {.loopB = 1}, {20, 70}, "50", {},
     {.wobe = true}},
    {KxSettingId::Address, "Address", "address", 15, {}, {0, 15}, "15", {}, {.wobe = true}},
});
// clang-format on
inline constexpr std::size_t kKxFieldCount = kKxSettings.size();

constexpr const KxSettingRow& settingRow(KxSettingId field) {
    return kKxSettings[static_cast<std::size_t>(field)];
}
constexpr const KxSettingRow& settingRow(KxNumberSetting setting) {
    return settingRow(fieldOf(setting));
}
constexpr const KxSettingRow& settingRow(KxOptionSetting setting) {
    return settingRow(fieldOf(setting));
}

// The range of a number setting.
constexpr KxRange rangeOf(KxNumberSetting setting) {
    return settingRow(setting).range;
}

// Setting code in bits 0..5 of the command byte, selector bits included.
int settingCode(const KxSettingRow& row, const KxSelectors& selectors);
// Command byte v: the Permanent flag (bit 6) over the setting code.
CommandByte commandByte(int code, bool permanent);

// True when `value` is one of the setting's option values (2, 4, 8, 16, 32 for
// the PWM multiplier; 0..2 for the OCD mode ...).
bool isOptionValue(const KxSettingRow& row, int value);

// The selector settings that address distinct variants of the setting, every
// selector off first, then in the order alarmOn, switchOn, bank1, loopB count up.
std::vector<KxSelectors> selectorVariants(const KxSettingRow& row);

// What a Set or Get sends: command byte v and value byte x (also built for Get,
// where it is not sent), and the value's text after range correction.
struct KxCommand {
    CommandByte v;
    CommandByte x;
    std::optional<std::string> correctedText;  // set when the value was out of range
};

KxCommand numberCommand(KxNumberSetting setting, std::string_view boxText,
                        const KxSelectors& selectors, bool permanent);
// `selected` is the value of the chosen option, nullopt when none is chosen.
KxCommand optionCommand(KxOptionSetting setting, std::optional<int> selected, bool permanent);

// Erase of all settings: code 0 with the Permanent bit, whatever Permanent says.
inline constexpr int kEraseCode = withPermanent(0, true);

}  // namespace korvel
