#include "sim/handlers.h"

namespace korvel::sim {

bool handleZrCommand(SimController&, const FrameData&) {
    return false;
}

}  // namespace korvel::sim
