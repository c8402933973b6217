#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "service/module_family.h"

namespace korvel::ops {

using korvel::ModuleFamily;

// A module as korvelctl names it: "kx:0", "kx:2.0" and "kx:2.1" (the halves of
// a KX44, as the page lists them), "zr:1". `item` is the page's item data:
// 0..31 for KX (16..31 second halves), 0..7 for ZR.
struct ModuleName {
    ModuleFamily family = ModuleFamily::KX;
    int item = 0;
    bool operator==(const ModuleName&) const = default;
    auto operator<=>(const ModuleName&) const = default;
};

// "2.0" only where the type is known to be a KX44.
std::string moduleNameText(const ModuleName& name, bool kx44 = false);
std::optional<ModuleName> parseModuleName(std::string_view text);
// The MODULE argument of the kx commands, without the family: "5", "2.1".
std::optional<int> parseKxItem(std::string_view text);

}  // namespace korvel::ops
