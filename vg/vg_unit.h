#pragma once

#include <array>

namespace korvel {

// The kind of VG unit the status request reported; decides what the VG page offers.
enum class VgUnit { VgH, VgU, VgC, Wobe, Unknown };

// The three flags SetVGUPanelVisibility takes (the design's a, b and c). unitBits
// governs the boxes a VG-U or VG-C offers (configuration 0, 5, 6; options 1,
// 6), firmwareBits the option boxes of newer firmware (4, 5).
struct VgPanelFlags {
    bool configFrame = true;  // the configuration bits can be set at all
    bool unitBits = true;
    bool firmwareBits = true;
    bool operator==(const VgPanelFlags&) const = default;
};

// Flags for a unit type and firmware version; a version of -1 means none was received.
VgPanelFlags vgPanelFlags(VgUnit unit, int version);

// The unit's bits by number, as its boxes name them; "NU" is a bit not used.
inline constexpr std::array<const char*, 8> kVgConfigBitNames{
    "S1 38k4", "S0 38k4", "S0 down", "S0 VG-H", "YN32 retr", "ZR 64d", "DCC Fix", "NU"};
inline constexpr std::array<const char*, 8> kVgOptionBitNames{
    "NU", "Ret.Report", "NU", "NU", "Transp.M", "Boot.KX", "Debug.M", "NU"};

// What a unit offers: whether each frame can be set at all, and which of its bits.
using VgBits = std::array<bool, 8>;
struct VgOffer {
    bool config = true, options = true;
    VgBits configBits{}, optionBits{};
    bool operator==(const VgOffer&) const = default;
};
VgOffer vgOffer(VgPanelFlags flags);

}  // namespace korvel
