#include "vg/vg_unit.h"

namespace korvel {

VgPanelFlags vgPanelFlags(VgUnit unit, int version) {
    switch (unit) {
        case VgUnit::VgH:
            return {false, false, false};
        case VgUnit::VgU:
        case VgUnit::VgC:
            return {true, true, version > 1010};
        case VgUnit::Wobe:
            return {true, false, version > 1020};
        case VgUnit::Unknown:
            break;
    }
    return {true, true, true};
}

VgOffer vgOffer(VgPanelFlags flags) {
    VgOffer o;
    o.config = flags.configFrame;
    o.options = flags.unitBits || flags.firmwareBits;
    // Configuration bit 4 belongs to every unit; the others to what the unit and its firmware have.
    o.configBits[4] = true;
    o.configBits[0] = o.configBits[5] = o.configBits[6] = flags.unitBits;
    o.optionBits[1] = o.optionBits[6] = flags.unitBits;
    o.optionBits[4] = o.optionBits[5] = flags.firmwareBits;
    return o;
}

}  // namespace korvel
