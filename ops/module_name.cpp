#include "ops/module_name.h"

#include <charconv>

namespace korvel::ops {

namespace {

std::optional<int> number(std::string_view text, int maximum) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 0 || value > maximum)
        return std::nullopt;
    return value;
}

}  // namespace

std::string moduleNameText(const ModuleName& name, bool kx44) {
    if (name.family == ModuleFamily::ZR) return "zr:" + std::to_string(name.item);
    if (name.item >= 16) return "kx:" + std::to_string(name.item - 16) + ".1";
    return "kx:" + std::to_string(name.item) + (kx44 ? ".0" : "");
}

std::optional<int> parseKxItem(std::string_view text) {
    const std::size_t dot = text.find('.');
    const std::optional<int> n = number(text.substr(0, dot), 15);
    if (!n || dot == std::string_view::npos) return n;
    const std::optional<int> half = number(text.substr(dot + 1), 1);
    if (!half) return std::nullopt;
    return *n + 16 * *half;
}

std::optional<ModuleName> parseModuleName(std::string_view text) {
    if (text.starts_with("kx:")) {
        if (const std::optional<int> item = parseKxItem(text.substr(3)))
            return ModuleName{ModuleFamily::KX, *item};
    } else if (text.starts_with("zr:")) {
        if (const std::optional<int> n = number(text.substr(3), 7))
            return ModuleName{ModuleFamily::ZR, *n};
    }
    return std::nullopt;
}

}  // namespace korvel::ops
