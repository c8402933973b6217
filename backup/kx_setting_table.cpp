#include "backup/kx_setting_table.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace korvel::backup {

namespace {

// How the terminal spells a selector that is on, in the order of KxSelectors.
struct SelectorOption {
    bool KxSelectors::*selector;
    const char* option;
};
constexpr SelectorOption kSelectorOptions[] = {{&KxSelectors::alarmOn, " --on"},
                                               {&KxSelectors::switchOn, " --on"},
                                               {&KxSelectors::bank1, " --bank 1"},
                                               {&KxSelectors::loopB, " --loop B"}};

// The names live as long as the program; the rows point into them.
struct NameTable {
    std::vector<std::string> names;
    std::vector<KxSettingName> rows;

    NameTable() {
        std::vector<std::pair<KxSettingId, KxSelectors>> variants;
        for (const KxSettingRow& row : kKxSettings)
            for (const KxSelectors& selectors : selectorVariants(row)) {
                std::string name = row.termName;
                for (const SelectorOption& o : kSelectorOptions)
                    if (selectors.*o.selector) name += o.option;
                names.push_back(std::move(name));
                variants.emplace_back(row.field, selectors);
            }
        for (std::size_t i = 0; i < names.size(); ++i)
            rows.push_back({names[i].c_str(), variants[i].first, variants[i].second});
    }
};

std::span<const KxSettingName> nameRows() {
    static const NameTable table;
    return table.rows;
}

std::string lowerCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

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

// An option button's caption, in any case, gives its value.
std::optional<int> optionByName(const KxSettingRow& setting, std::string_view text) {
    for (const KxOptionValue& option : setting.options)
        if (lowerCase(option.caption) == lowerCase(text)) return option.value;
    return std::nullopt;
}

}  // namespace

std::span<const KxSettingName> kxSettingRows() {
    return nameRows();
}

const KxSettingName* findKxSetting(std::string_view name) {
    const std::string wanted = canonical(name);
    for (const KxSettingName& row : nameRows())
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

bool offeredOn(const KxSettingName& row, const KxPageState& page) {
    return page.panel(row.field) && (!row.selectors.bank1 || page.bank1Visible);
}

bool settableOn(const KxSettingName& row, const KxPageState& page) {
    return offeredOn(row, page) && page.setButton(row.field);
}

std::vector<const KxSettingName*> backupRows(const KxPageState& page) {
    std::vector<const KxSettingName*> rows;
    for (const KxSettingName& row : nameRows())
        if (offeredOn(row, page) && row.field != KxSettingId::Address) rows.push_back(&row);
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

bool validKxValue(const KxSettingName& row, int value) {
    const KxSettingRow& setting = row.setting();
    if (setting.isOption()) return isOptionValue(setting, value);
    return value >= setting.range.minimum && value <= setting.range.maximum;
}

std::string acceptedValues(const KxSettingName& row) {
    const KxSettingRow& setting = row.setting();
    if (!setting.isOption())
        return std::to_string(setting.range.minimum) + ".." + std::to_string(setting.range.maximum);
    // Options are named by their caption where it is a word ("0 fast"), else by their value.
    std::string out;
    for (const KxOptionValue& option : setting.options) {
        const std::string value = std::to_string(option.value);
        out += (out.empty() ? "" : ", ") + value;
        if (value != option.caption) out += " " + lowerCase(option.caption);
    }
    return out;
}

std::optional<int> parseKxValue(const KxSettingName& row, std::string_view text,
                                std::string& error) {
    std::optional<int> value = wholeNumber(text);
    if (!value && row.setting().isOption()) value = optionByName(row.setting(), text);
    if (value && validKxValue(row, *value)) return value;
    error = std::string(row.name) + " takes " + acceptedValues(row) + ", not \"" +
            std::string(text) + "\"";
    return std::nullopt;
}

}  // namespace korvel::backup
