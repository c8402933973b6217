#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kx/reply_decoding.h"
#include "kx/settings.h"
#include "service/module_registry.h"
#include "service/module_type.h"

namespace korvel::ops {

// One variant of a setting as korvelctl names it: the row of the settings
// table and the selector buttons its options tick.
struct KxSettingName {
    const char* name;  // "alarm-delay --on": the row's terminal name and its selector options
    KxSettingId field;
    KxSelectors selectors;

    const KxSettingRow& setting() const { return settingRow(field); }
};

// Every variant of every setting of kKxSettings, in the page's order, each
// setting's variants as selectorVariants gives them.
std::span<const KxSettingName> kxSettingRows();

// Every setting's name with the selector options it takes, as a help text
// lists them: "hfi, alarm-delay [--on], ... or address".
std::string kxSettingSynopsis();

// The row a name (with its selector options, in any order) stands for.
const KxSettingName* findKxSetting(std::string_view name);

// What a KX selection addresses: one module of a type, or a group of a kind.
// A module of unknown type offers every setting, as its page shows them all.
struct KxSelection {
    ModuleType type = ModuleType::Unknown;
    bool single = true;
    bool everyKx = false;  // All_KXxx: the KX44 panels, and the master/slave check

    bool operator==(const KxSelection&) const = default;
};
KxSelection kxSelection(std::int32_t itemData, const KxTypeTable& types);
inline KxSelection singleModule(ModuleType type) {
    return {type, true, false};
}

// The selection offers the setting (and "Bank 1" where the row needs it).
bool offeredOn(const KxSettingName& row, const KxSelection& selection);
// ... and lets it be written: a KX44's master/slave mode can be read, not set.
bool settableOn(const KxSettingName& row, const KxSelection& selection);
// The rows a backup keeps: all the selection offers except the address.
std::vector<const KxSettingName*> backupRows(const KxSelection& selection);

// Reads a value typed for `row`: a whole number, or an option's name. Out of
// range or unknown: nullopt and `error` says what the setting takes.
std::optional<int> parseKxValue(const KxSettingName& row, std::string_view text,
                                std::string& error);
// What a setting takes, for messages: "0..15" or "2, 4, 8, 16, 32".
std::string acceptedValues(const KxSettingName& row);
// True when `value` may be written to the setting.
bool validKxValue(const KxSettingName& row, int value);

}  // namespace korvel::ops
