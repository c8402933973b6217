#include "ui_model/vg_panel.h"

#include "ui_model/outcome_boxes.h"

namespace korvel {

VgPanelVisibility initialVgPanelVisibility() {
    VgPanelVisibility v;
    v.configBoxes = {true, false, false, false, true, true, true, false};
    v.optionBoxes = {false, true, false, false, true, true, true, false};
    return v;
}

VgPanelVisibility vgPanelVisibility(VgPanelFlags flags) {
    VgPanelVisibility v = initialVgPanelVisibility();
    v.configFrame = flags.configFrame;
    v.optionFrame = flags.unitBits || flags.firmwareBits;
    v.configBoxes[0] = v.configBoxes[5] = v.configBoxes[6] = flags.unitBits;
    v.optionBoxes[1] = flags.unitBits;
    v.optionBoxes[4] = v.optionBoxes[5] = flags.firmwareBits;
    v.optionBoxes[6] = flags.unitBits;
    return v;
}

void SendVGUConfig(Link& link, Prompter& prompter, const VgBoxes& boxes, bool permanent) {
    presentOutcome(prompter, sendVgConfig(link, boxes, permanent));
}

void SendVGUOptions(Link& link, Prompter& prompter, const VgBoxes& boxes) {
    presentOutcome(prompter, sendVgOptions(link, boxes));
}

}  // namespace korvel
