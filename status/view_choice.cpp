#include "status/view_choice.h"

namespace korvel {

bool classicViewRequested(int button, int shift) {
    return button == kLeftButton && shift == kShiftMask;
}

bool useClassicView(bool classicRequested, int protocolVersion) {
    return classicRequested || protocolVersion <= 3100;
}

}  // namespace korvel
