#pragma once

namespace korvel {

// The kind of VG unit the status request reported; decides what the VG page offers.
enum class VgUnit { VgH, VgU, VgC, Wobe, Unknown };

// The three flags of SetVGUPanelVisibility: a shows the configuration frame,
// b and c govern the boxes that depend on the unit's type and firmware.
struct VgPanelFlags {
    bool a = true;
    bool b = true;
    bool c = true;
    bool operator==(const VgPanelFlags&) const = default;
};

// Flags for a unit type and firmware version; a version of -1 means none was received.
VgPanelFlags vgPanelFlags(VgUnit unit, int version);

}  // namespace korvel
