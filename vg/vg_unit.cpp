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

}  // namespace korvel
