#pragma once

#include <array>
#include <cstdint>

namespace korvel {

// KX type codes as the status request registers them.
enum KxType : std::int16_t { kKxNone = -1, kKxUnknown = 0, kKxH = 1, kKxWobe = 2, kKx44 = 3 };

// Index 0..15 KX module n, 16..31 the second half of KX44 module n - 16.
using KxTypeTable = std::array<std::int16_t, 33>;
// Index 0..7 ZR module n: 1 answered, -1 not.
using ZrPresenceTable = std::array<std::int16_t, 9>;

// Selections of a group of modules rather than one module number.
inline constexpr std::int32_t kAllKXxx = -1;
inline constexpr std::int32_t kAllKXH = -2;
inline constexpr std::int32_t kAllWobe = -3;
inline constexpr std::int32_t kAllKX44 = -4;
inline constexpr std::int32_t kAllZR = -1;

// What the last status request left behind for the setting pages.
struct ModuleRegistry {
    ModuleRegistry() { kxTypes.fill(kKxNone), zrPresent.fill(-1); }

    KxTypeTable kxTypes;
    ZrPresenceTable zrPresent;
};

// Whether the last status request registered any ZR32 module (numbers 0..7).
inline bool anyZrPresent(const ModuleRegistry& registry) {
    for (std::size_t n = 0; n < 8; ++n)
        if (registry.zrPresent[n] == 1) return true;
    return false;
}

}  // namespace korvel
