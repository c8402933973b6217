#include "ops/kx_names.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace korvel::ops {

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

std::string kxSettingSynopsis() {
    std::string out;
    for (std::size_t i = 0; i < kKxSettings.size(); ++i) {
        const KxSettingRow& row = kKxSettings[i];
        const KxSelectorBits& bits = row.selectorBits;
        out += i == 0 ? "" : i + 1 == kKxSettings.size() ? " or " : ", ";
        out += row.termName;
        if (bits.alarmOn || bits.switchOn) out += " [--on]";
        if (bits.bank1) out += " [--bank 1]";
        if (bits.loopB) out += " [--loop B]";
    }
    return out;
}

const KxSettingName* findKxSetting(std::string_view name) {
    const std::string wanted = canonical(name);
    for (const KxSettingName& row : nameRows())
        if (canonical(row.name) == wanted) return &row;
    return nullptr;
}

KxSelection kxSelection(std::int32_t itemData, const KxTypeTable& types) {
    switch (itemData) {
        case kAllKX44:
            return {ModuleType::Kx44, false, false};
        case kAllWobe:
            return {ModuleType::Wobe, false, false};
        case kAllKXH:
            return {ModuleType::KxH, false, false};
        case kAllKXxx:
            return {ModuleType::Kx44, false, true};
        default:
            break;
    }
    if (itemData < 0 || itemData >= static_cast<std::int32_t>(types.size())) return {};
    return singleModule(
        kxModuleType(types[static_cast<std::size_t>(itemData)]).value_or(ModuleType::Unknown));
}

namespace {

bool kindOffers(const KxOffer& offer, ModuleType type) {
    switch (type) {
        case ModuleType::KxH:
            return offer.kxH;
        case ModuleType::Kx44:
            return offer.kx44;
        case ModuleType::Wobe:
            return offer.wobe;
        case ModuleType::Zr32:
            return false;
        case ModuleType::Unknown:
            break;
    }
    return true;
}

// A single KX44 shows a panel only to read its value.
bool readOnlyOn(const KxSettingName& row, const KxSelection& s) {
    const KxOffer& offer = row.setting().offer;
    return s.single && s.type == ModuleType::Kx44 && offer.kx44Reads && !offer.kx44;
}

}  // namespace

bool offeredOn(const KxSettingName& row, const KxSelection& s) {
    const KxOffer& offer = row.setting().offer;
    // Bank 1 is for the kinds with a second bank of switches.
    if (row.selectors.bank1 && (s.type == ModuleType::Kx44 || s.type == ModuleType::Zr32))
        return false;
    return offer.everyKind() || kindOffers(offer, s.type) || readOnlyOn(row, s);
}

bool settableOn(const KxSettingName& row, const KxSelection& s) {
    return offeredOn(row, s) && !readOnlyOn(row, s);
}

std::vector<const KxSettingName*> backupRows(const KxSelection& s) {
    std::vector<const KxSettingName*> rows;
    for (const KxSettingName& row : nameRows())
        if (offeredOn(row, s) && row.field != KxSettingId::Address) rows.push_back(&row);
    return rows;
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

}  // namespace korvel::ops
