#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvel {

// KX type codes as the status request registers them.
enum KxType : std::int16_t { kKxNone = -1, kKxUnknown = 0, kKxH = 1, kKxWobe = 2, kKx44 = 3 };

// Index 0..15 KX module n, 16..31 the second half of KX44 module n - 16.
using KxTypeTable = std::array<std::int16_t, 33>;
// Index 0..7 ZR module n: 1 answered, -1 not.
using ZrPresenceTable = std::array<std::int16_t, 9>;

// Group entries of the module lists (their item data).
inline constexpr std::int32_t kAllKXxx = -1;
inline constexpr std::int32_t kAllKXH = -2;
inline constexpr std::int32_t kAllWobe = -3;
inline constexpr std::int32_t kAllKX44 = -4;
inline constexpr std::int32_t kAllZR = -1;

struct ListEntry {
    std::string text;
    std::int32_t itemData = 0;
    bool operator==(const ListEntry&) const = default;
};

// The content of a drop-down module list; the window mirrors it.
struct ModuleList {
    std::vector<ListEntry> entries;
    int selected = -1;  // index into entries, -1 when nothing is selected

    bool empty() const { return entries.empty(); }
    void clear() { entries.clear(), selected = -1; }
    void add(std::string text, std::int32_t itemData) {
        entries.push_back({std::move(text), itemData});
    }
    std::optional<std::int32_t> selectedItemData() const {
        if (selected < 0 || selected >= static_cast<int>(entries.size())) return std::nullopt;
        return entries[static_cast<std::size_t>(selected)].itemData;
    }
};

// What the last status request left behind for the setting pages.
struct ModuleRegistry {
    ModuleRegistry() { kxTypes.fill(kKxNone), zrPresent.fill(-1); }

    KxTypeTable kxTypes;
    ZrPresenceTable zrPresent;
    ModuleList kxList;
    ModuleList zrList;
};

}  // namespace korvel
