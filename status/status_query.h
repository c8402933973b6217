#pragma once

#include <cstdint>
#include <optional>

#include "status/status_steps.h"

namespace korvel {

// What a module reported to (3; 1, 11, address).
struct ModuleAnswer {
    std::uint8_t status = 0;
    int version = 0;
};
std::optional<ModuleAnswer> queryModule(StatusSteps& steps, int address);

}  // namespace korvel
