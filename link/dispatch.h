#pragma once

#include "link/link.h"
#include "link/module_registry.h"

namespace korvel {

enum class Family { KX = 32, ZR = 64, VG = 128 };

// Module numbers a KX selection addresses, in sending order: a single module,
// or every registered module of the group.
std::vector<int> kxTargets(std::int32_t itemData, const KxTypeTable& types);
// "All" addresses ZR numbers 0..7 whether or not they answered the last Status.
std::vector<int> zrTargets(std::int32_t itemData);

// Sends one command to the module or group selected in the family's list (or
// to the VG unit), between an opening and a closing empty frame. The closing
// frame collects the module's own answer. Stops at the first unanswered frame.
void SendModuleCommand(Link& link, const ModuleRegistry& registry, Family family, int n,
                       CommandByte c, CommandByte v, CommandByte x);

inline constexpr const char* kRequestStatusFirst =
    "Please request Status first to register modules";

}  // namespace korvel
