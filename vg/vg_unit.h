#pragma once

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

}  // namespace korvel
