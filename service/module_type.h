#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "service/module_registry.h"

namespace korvel {

// What kind of module sits at an address. The names are what files and
// screens spell; logic compares the enumerators.
enum class ModuleType { KxH, Kx44, Wobe, Zr32, Unknown };

inline constexpr std::string_view moduleTypeName(ModuleType type) {
    switch (type) {
        case ModuleType::KxH:
            return "KX-H";
        case ModuleType::Kx44:
            return "KX44";
        case ModuleType::Wobe:
            return "WOBE-s";
        case ModuleType::Zr32:
            return "ZR32";
        case ModuleType::Unknown:
            break;
    }
    return "Unknown";
}

// The type a file or a screen names; nullopt for any other text.
inline constexpr std::optional<ModuleType> moduleTypeNamed(std::string_view name) {
    for (ModuleType t : {ModuleType::KxH, ModuleType::Kx44, ModuleType::Wobe, ModuleType::Zr32})
        if (name == moduleTypeName(t)) return t;
    return std::nullopt;
}

// A KX type code of the registry; nullopt where no module answered.
inline constexpr std::optional<ModuleType> kxModuleType(std::int16_t code) {
    switch (code) {
        case kKxH:
            return ModuleType::KxH;
        case kKx44:
            return ModuleType::Kx44;
        case kKxWobe:
            return ModuleType::Wobe;
        case kKxNone:
            return std::nullopt;
        default:
            return ModuleType::Unknown;
    }
}

}  // namespace korvel
