#include "ui_model/vg_panel.h"

#include "ui_model/outcome_boxes.h"

namespace korvel {

VgPanelVisibility initialVgPanelVisibility() {
    return vgPanelVisibility(VgPanelFlags{});
}

VgPanelVisibility vgPanelVisibility(VgPanelFlags flags) {
    const VgOffer offer = vgOffer(flags);
    return {offer.config, offer.options, offer.configBits, offer.optionBits};
}

void SendVGUConfig(Link& link, Prompter& prompter, const VgBoxes& boxes, bool permanent) {
    presentOutcome(prompter, sendVgConfig(link, boxes, permanent));
}

void SendVGUOptions(Link& link, Prompter& prompter, const VgBoxes& boxes) {
    presentOutcome(prompter, sendVgOptions(link, boxes));
}

}  // namespace korvel
