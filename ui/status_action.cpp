#include "ui/status_action.h"

namespace korvel::ui {

bool statusClassicRequested(Qt::MouseButton, Qt::KeyboardModifiers) {
    return false;
}

void runStatusRequest(BusContext&, StatusDialogs&, KxPage&, ZrPage&, VgPage&, bool) {}

}  // namespace korvel::ui
