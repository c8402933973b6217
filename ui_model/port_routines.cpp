#include "ui_model/port_routines.h"

#include "service/ports.h"

namespace korvel {

namespace {

// A port that does not open says why in "Fout bij openen COM poort".
bool opened(Link& link, Prompter& prompter, bool open) {
    if (!open) prompter.showWithDetail(kOpenPortFailed, link.port().openErrorDetail());
    return open;
}

}  // namespace

bool PickPort(Link& link, Prompter& prompter, const std::string& entryText) {
    return opened(link, prompter, openPortEntry(link, entryText));
}

bool PickNetworkPort(Link& link, Prompter& prompter, const std::string& address) {
    return opened(link, prompter, openNetworkPort(link, address));
}

}  // namespace korvel
