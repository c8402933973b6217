#include "sim/handlers.h"

namespace korvel::sim {

bool handleKxCommand(SimController&, const FrameData&) {
    return false;
}

}  // namespace korvel::sim
