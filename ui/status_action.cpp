#include "ui/status_action.h"

#include "status/module_lists.h"
#include "status/status_request.h"
#include "ui/classic_status_dialog.h"
#include "ui/kx_page.h"
#include "ui/standard_status_dialog.h"
#include "ui/status_dialogs.h"
#include "ui/vg_page.h"
#include "ui/zr_page.h"
#include "status/status_format.h"
#include "ui_model/view_choice.h"

namespace korvel::ui {

namespace {

int buttonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return kLeftButton;
        case Qt::RightButton:
            return kRightButton;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

int shiftCode(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ShiftModifier) ? kShiftMask : 0) |
           (modifiers.testFlag(Qt::ControlModifier) ? kCtrlMask : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? kAltMask : 0);
}

template <class Dialog, class Texts>
void fillAndShow(Dialog& dialog, const Texts& texts) {
    dialog.fill(texts);
    StatusDialogs::showNonModal(&dialog);
}

}  // namespace

bool statusClassicRequested(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    return classicViewRequested(buttonCode(button), shiftCode(modifiers));
}

std::optional<StatusFacts> requestAndRegister(BusContext& bus, KxPage& kx, ZrPage& zr, VgPage& vg,
                                              bool classicRequested, int retries) {
    const auto takeResult = [&](const StatusFacts& facts) {
        registerModules(bus.registry, facts);
        vg.setUnitType(QString::fromStdString(vgTypeCaption(facts.system)));
        vg.SetVGUPanelVisibility(vgFlags(facts.system));
        kx.refreshList();
        zr.refreshList();
    };
    return RequestStatus(bus.link,
                         StatusOptions{.classicRequested = classicRequested, .retries = retries},
                         takeResult);
}

void runStatusRequest(BusContext& bus, StatusDialogs& dialogs, KxPage& kx, ZrPage& zr, VgPage& vg,
                      bool classicRequested) {
    const std::optional<StatusFacts> facts = requestAndRegister(bus, kx, zr, vg, classicRequested);
    if (!facts) return;

    if (facts->classic)
        fillAndShow(dialogs.classic(), classicStatusTexts(*facts));
    else
        fillAndShow(dialogs.standard(), standardStatusTexts(*facts));
}

}  // namespace korvel::ui
