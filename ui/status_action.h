#pragma once

#include <Qt>
#include <optional>

#include "status/status_request.h"
#include "ui/bus_context.h"

namespace korvel::ui {

class StatusDialogs;
class KxPage;
class ZrPage;
class VgPage;

// Whether the mouse-down on "Status" asks for the classic view.
bool statusClassicRequested(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

// The status request in the standard or classic view, as "Status" makes it
// but without its window: registers the modules, fills the lists and the VG
// page. A step that got no answer is asked again up to `retries` times.
std::optional<StatusFacts> requestAndRegister(BusContext& bus, KxPage& kx, ZrPage& zr, VgPage& vg,
                                              bool classicRequested = false, int retries = 0);

// The whole status request: fills a status window, the module lists and the VG page.
void runStatusRequest(BusContext& bus, StatusDialogs& dialogs, KxPage& kx, ZrPage& zr, VgPage& vg,
                      bool classicRequested);

}  // namespace korvel::ui
