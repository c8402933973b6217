#pragma once

namespace korvel {

// The families of the bus. The VG unit is the controller itself; QH modules
// are only asked for their status.
enum class ModuleFamily { KX, ZR, QH, VG };

}  // namespace korvel
