#include "ui_model/view_choice.h"

namespace korvel {

bool classicViewRequested(int button, int shift) {
    return button == kLeftButton && shift == kShiftMask;
}

}  // namespace korvel
