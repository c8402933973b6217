#pragma once

#include <array>

#include "link/bus_words.h"
#include "service/dispatch.h"

namespace korvel {

// The eight bits of the configuration or of the options, indexed by bit number.
using VgBoxes = std::array<bool, 8>;

// The configuration command sets the bits active or stores them permanently;
// L carries bits 0-3 and H bits 4-7, each as a number 0-15.
struct VgConfigCommand {
    int command = kVgConfig;
    int low = 0;
    int high = 0;
    bool operator==(const VgConfigCommand&) const = default;
};

VgConfigCommand packVgConfig(const VgBoxes& boxes, bool permanent);

// Option bits 0-6 as one number. Bit 7 has no box the user can tick and a
// command byte holds only seven bits, so it is never sent.
int packVgOptions(const VgBoxes& boxes);

// "VGU-Config" and "VGU-Options": one command to the VG unit each.
DispatchOutcome sendVgConfig(Link& link, const VgBoxes& boxes, bool permanent);
DispatchOutcome sendVgOptions(Link& link, const VgBoxes& boxes);

}  // namespace korvel
