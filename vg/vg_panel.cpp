#include "vg/vg_panel.h"

namespace korvel {

VgPanelVisibility initialVgPanelVisibility() {
    VgPanelVisibility v;
    v.configBoxes = {true, false, false, false, true, true, true, false};
    v.optionBoxes = {false, true, false, false, true, true, true, false};
    return v;
}

VgPanelVisibility vgPanelVisibility(VgPanelFlags flags) {
    VgPanelVisibility v = initialVgPanelVisibility();
    v.configFrame = flags.a;
    v.optionFrame = flags.b || flags.c;
    v.configBoxes[0] = v.configBoxes[5] = v.configBoxes[6] = flags.b;
    v.optionBoxes[1] = flags.b;
    v.optionBoxes[4] = v.optionBoxes[5] = flags.c;
    v.optionBoxes[6] = flags.b;
    return v;
}

}  // namespace korvel
