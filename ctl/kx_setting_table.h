#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "kx/reply_decoding.h"
#include "kx/settings.h"
#include "link/module_registry.h"

namespace korvel::ctl {

// One setting as korvelctl names it: the page's panel with its selector
// buttons, the field its module's report fills, and which module types offer it.
struct KxSettingRow {
    const char* name;  // "alarm-delay --on": the setting and its selector options
    std::variant<KxNumberSetting, KxOptionSetting> setting;
    KxSelectors selectors;
    KxField field;
    bool kxH, kx44, wobe;     // offered on the page for that type
    bool writableOnKx44;      // the page reads a KX44's master/slave mode but never sets it
    const char* optionNames;  // "0 Fast, 1 Moderate, 2 Slow"; null for number settings
};

// Every setting korvelctl reads and writes, in the page's order.
std::span<const KxSettingRow> kxSettingRows();

// The row a name (with its selector options, in any order) stands for.
const KxSettingRow* findKxSetting(std::string_view name);

bool offeredFor(const KxSettingRow& row, std::int16_t kxType);
bool writableFor(const KxSettingRow& row, std::int16_t kxType);
// The rows a backup keeps for a module of that type: all it offers except the address.
std::vector<const KxSettingRow*> backupRows(std::int16_t kxType);

// "KX-H", "KX44", "WOBE-s" or "Unknown".
const char* kxTypeName(std::int16_t kxType);
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
