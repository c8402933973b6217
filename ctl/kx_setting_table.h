#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "kx/page_state.h"
#include "kx/reply_decoding.h"
#include "kx/settings.h"
#include "link/module_registry.h"

namespace korvel::ctl {

// One setting as korvelctl names it: the page's panel with its selector
// buttons, and the field its module's report fills.
struct KxSettingRow {
    const char* name;  // "alarm-delay --on": the setting and its selector options
    std::variant<KxNumberSetting, KxOptionSetting> setting;
    KxSelectors selectors;
    KxField field;
    bool KxPageState::*panel;  // the panel that offers it
    const char* optionNames;   // "0 fast, 1 moderate, 2 slow"; null for number settings
};

// Every setting korvelctl reads and writes, in the page's order.
std::span<const KxSettingRow> kxSettingRows();

// The row a name (with its selector options, in any order) stands for.
const KxSettingRow* findKxSetting(std::string_view name);

// The page as KXSelectionChanged shows it for a module or group, and for a
// single module of a type.
KxPageState kxPage(std::int32_t itemData, const KxTypeTable& types);
KxPageState kxPageOfType(std::int16_t kxType);
// The page shows the setting's panel (and "Bank 1" where the row needs it).
bool offeredOn(const KxSettingRow& row, const KxPageState& page);
// ... and its Set button: a KX44's master/slave mode can be read, not set.
bool settableOn(const KxSettingRow& row, const KxPageState& page);
// The rows a backup keeps: all the page offers except the address.
std::vector<const KxSettingRow*> backupRows(const KxPageState& page);

// "KX-H", "KX44", "WOBE-s" or "Unknown", as lblKXtype shows it.
std::string kxTypeName(std::int16_t kxType);
// The type code of "KX-H", "KX44" or "WOBE-s".
std::optional<std::int16_t> kxTypeFromName(std::string_view name);

// Reads a value typed for `row`: a whole number, or an option's name. Out of
// range or unknown: nullopt and `error` says what the setting takes.
std::optional<int> parseKxValue(const KxSettingRow& row, std::string_view text, std::string& error);
// What a setting takes, for messages: "0..15" or "2, 4, 8, 16, 32".
std::string acceptedValues(const KxSettingRow& row);
// True when `value` may be written to the setting.
bool validKxValue(const KxSettingRow& row, int value);

}  // namespace korvel::ctl
