#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kx/reply_decoding.h"
#include "kx/settings.h"
#include "service/module_registry.h"
#include "ui_model/kx_page_state.h"

namespace korvel::backup {

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

// The row a name (with its selector options, in any order) stands for.
const KxSettingName* findKxSetting(std::string_view name);

// The page as KXSelectionChanged shows it for a module or group, and for a
// single module of a type.
KxPageState kxPage(std::int32_t itemData, const KxTypeTable& types);
KxPageState kxPageOfType(std::int16_t kxType);
// The page shows the setting's panel (and "Bank 1" where the row needs it).
bool offeredOn(const KxSettingName& row, const KxPageState& page);
// ... and its Set button: a KX44's master/slave mode can be read, not set.
bool settableOn(const KxSettingName& row, const KxPageState& page);
// The rows a backup keeps: all the page offers except the address.
std::vector<const KxSettingName*> backupRows(const KxPageState& page);

// "KX-H", "KX44", "WOBE-s" or "Unknown", as the KX page shows the type.
std::string kxTypeName(std::int16_t kxType);
// The type code of "KX-H", "KX44" or "WOBE-s".
std::optional<std::int16_t> kxTypeFromName(std::string_view name);

// Reads a value typed for `row`: a whole number, or an option's name. Out of
// range or unknown: nullopt and `error` says what the setting takes.
std::optional<int> parseKxValue(const KxSettingName& row, std::string_view text,
                                std::string& error);
// What a setting takes, for messages: "0..15" or "2, 4, 8, 16, 32".
std::string acceptedValues(const KxSettingName& row);
// True when `value` may be written to the setting.
bool validKxValue(const KxSettingName& row, int value);

}  // namespace korvel::backup
