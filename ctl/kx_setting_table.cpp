#include "ctl/kx_setting_table.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace korvel::ctl {

namespace {

using N = KxNumberSetting;
using O = KxOptionSetting;

constexpr KxSelectors kNone{};
constexpr KxSelectors kAlarmOn{.alarmOn = true};
constexpr KxSelectors kSwitchOn{.switchOn = true};
constexpr KxSelectors kBank1{.bank1 = true};
constexpr KxSelectors kSwitchOnBank1{.switchOn = true, .bank1 = true};
constexpr KxSelectors kLoopB{.loopB = true};

using P = KxPageState;

const KxSettingRow kRows[] = {
    {"hfi", N::HFI, kNone, KxField::txtHFI, &P::frmHFI, nullptr},
    {"alarm-delay", N::AlarmDelay, kNone, KxField::txtAL, &P::frmAL, nullptr},
    {"alarm-delay --on", N::AlarmDelay, kAlarmOn, KxField::txtAL, &P::frmAL, nullptr},
    {"switch-delay", N::SwitchDelay, kNone, KxField::txtSW, &P::frmSW, nullptr},
    {"switch-delay --on", N::SwitchDelay, kSwitchOn, KxField::txtSW, &P::frmSW, nullptr},
    {"switch-delay --bank 1", N::SwitchDelay, kBank1, KxField::txtSW, &P::frmSW, nullptr},
    {"switch-delay --on --bank 1", N::SwitchDelay, kSwitchOnBank1, KxField::txtSW, &P::frmSW,
     nullptr},
    {"dc-shift", N::DCShift, kNone, KxField::txtDCShift, &P::frmDCS, nullptr},
    {"pwm", O::PWMMult, kNone, KxField::optPWMM, &P::frmPWMM, ""},
    {"ocd", O::OCDMode, kNone, KxField::optOCD, &P::frmOCD, "0 fast, 1 moderate, 2 slow"},
    {"ms", O::MSMode, kNone, KxField::optMS, &P::frmMS, "0 auto, 1 master, 2 slave"},
    {"power", O::PowerCtl, kNone, KxField::optPC, &P::frmPC, "0 single, 1 double"},
    {"loop-current", N::LoopCurrent, kNone, KxField::txtLC, &P::FrmLC, nullptr},
    {"loop-current --loop B", N::LoopCurrent, kLoopB, KxField::txtLC, &P::FrmLC, nullptr},
    {"address", N::Address, kNone, KxField::txtAD, &P::frmAD, nullptr},
};

std::vector<std::string> words(std::string_view text) {
    std::vector<std::string> out;
    std::istringstream in{std::string(text)};
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

// The name with its options in a fixed order, so "--bank 1 --on" finds the row too.
std::string canonical(std::string_view name) {
    std::vector<std::string> w = words(name);
    if (w.empty()) return {};
    std::vector<std::string> options;
    for (std::size_t i = 1; i < w.size(); ++i) {
        std::string option = w[i];
        if (i + 1 < w.size() && w[i + 1].rfind("--", 0) != 0) option += " " + w[++i];
        options.push_back(option);
    }
    std::sort(options.begin(), options.end());
    std::string out = w[0];
    for (const std::string& o : options) out += " " + o;
    return out;
}

std::optional<int> wholeNumber(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

// The option's name in `optionNames` ("1 moderate") gives its number.
std::optional<int> optionByName(const KxSettingRow& row, std::string_view text) {
    std::istringstream in{std::string(row.optionNames)};
    for (std::string item; std::getline(in, item, ',');) {
        std::vector<std::string> w = words(item);
        if (w.size() != 2) continue;
        std::string lower(text);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (w[1] == lower) return wholeNumber(w[0]);
    }
    return std::nullopt;
}

}  // namespace

std::span<const KxSettingRow> kxSettingRows() {
    return kRows;
}

const KxSettingRow* findKxSetting(std::string_view name) {
    const std::string wanted = canonical(name);
    for (const KxSettingRow& row : kRows)
        if (canonical(row.name) == wanted) return &row;
    return nullptr;
}

KxPageState kxPage(std::int32_t itemData, const KxTypeTable& types) {
    KxPageState page;
    KXSelectionChanged(page, itemData, types);
    return page;
}

KxPageState kxPageOfType(std::int16_t kxType) {
    KxTypeTable types;
    types.fill(kKxNone);
    types[0] = kxType;
    return kxPage(0, types);
}

bool offeredOn(const KxSettingRow& row, const KxPageState& page) {
    return page.*row.panel && (!row.selectors.bank1 || page.bank1Visible);
}

bool settableOn(const KxSettingRow& row, const KxPageState& page) {
    return offeredOn(row, page) && (row.field != KxField::optMS || page.cmdMSSet);
}

std::vector<const KxSettingRow*> backupRows(const KxPageState& page) {
    std::vector<const KxSettingRow*> rows;
    for (const KxSettingRow& row : kRows)
        if (offeredOn(row, page) && row.field != KxField::txtAD) rows.push_back(&row);
    return rows;
}

std::string kxTypeName(std::int16_t kxType) {
    return kxPageOfType(kxType).kxTypeCaption;
}

std::optional<std::int16_t> kxTypeFromName(std::string_view name) {
    for (std::int16_t t : {kKxH, kKx44, kKxWobe})
        if (name == kxTypeName(t)) return t;
    return std::nullopt;
}

bool validKxValue(const KxSettingRow& row, int value) {
    if (const auto* n = std::get_if<KxNumberSetting>(&row.setting)) {
        const KxRange r = rangeOf(*n);
        return value >= r.minimum && value <= r.maximum;
    }
    return isOptionIndex(std::get<KxOptionSetting>(row.setting), value);
}

std::string acceptedValues(const KxSettingRow& row) {
    if (const auto* n = std::get_if<KxNumberSetting>(&row.setting)) {
        const KxRange r = rangeOf(*n);
        return std::to_string(r.minimum) + ".." + std::to_string(r.maximum);
    }
    if (*row.optionNames != '\0') return row.optionNames;
    std::string out;
    for (int v = 0; v <= 127; ++v)
        if (validKxValue(row, v)) out += (out.empty() ? "" : ", ") + std::to_string(v);
    return out;
}

std::optional<int> parseKxValue(const KxSettingRow& row, std::string_view text,
                                std::string& error) {
    std::optional<int> value = wholeNumber(text);
    if (!value && row.optionNames) value = optionByName(row, text);
    if (value && validKxValue(row, *value)) return value;
    error = std::string(row.name) + " takes " + acceptedValues(row) + ", not \"" +
            std::string(text) + "\"";
    return std::nullopt;
}

}  // namespace korvel::ctl
