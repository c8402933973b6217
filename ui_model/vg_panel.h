#pragma once

#include <array>

#include "link/link.h"
#include "ui_model/prompter.h"
#include "vg/vg_commands.h"
#include "vg/vg_unit.h"

namespace korvel {

// Captions of the configuration and option boxes, indexed by bit number.
inline constexpr const auto& kVgConfigCaptions = kVgConfigBitNames;
inline constexpr const auto& kVgOptionCaptions = kVgOptionBitNames;

// What the VG page shows: both frames and every box of the two arrays.
struct VgPanelVisibility {
    bool configFrame = true;
    bool optionFrame = true;
    std::array<bool, 8> configBoxes{};
    std::array<bool, 8> optionBoxes{};
    bool operator==(const VgPanelVisibility&) const = default;
};

// The look before any status request: both frames, configuration boxes 0, 4,
// 5, 6 and option boxes 1, 4, 5, 6.
VgPanelVisibility initialVgPanelVisibility();

// SetVGUPanelVisibility: boxes the flags do not govern keep their design-time
// visibility, so the result depends on the flags alone.
VgPanelVisibility vgPanelVisibility(VgPanelFlags flags);

// "VGU-Config" and "VGU-Options" with their say in message boxes.
void SendVGUConfig(Link& link, Prompter& prompter, const VgBoxes& boxes, bool permanent);
void SendVGUOptions(Link& link, Prompter& prompter, const VgBoxes& boxes);

}  // namespace korvel
