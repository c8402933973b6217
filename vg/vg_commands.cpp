#include "vg/vg_commands.h"

namespace korvel {

namespace {

int packBits(const VgBoxes& boxes, int first, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i)
        if (boxes[static_cast<std::size_t>(first + i)]) value |= 1 << i;
    return value;
}

}  // namespace

VgConfigCommand packVgConfig(const VgBoxes& boxes, bool permanent) {
    return {vgConfigCommand(permanent), packBits(boxes, 0, 4), packBits(boxes, 4, 4)};
}

int packVgOptions(const VgBoxes& boxes) {
    return packBits(boxes, 0, 7);
}

DispatchOutcome sendVgConfig(Link& link, const VgBoxes& boxes, bool permanent) {
    const VgConfigCommand cmd = packVgConfig(boxes, permanent);
    return SendModuleCommand(link, ModuleFamily::VG, {}, 4, cmd.command, cmd.low, cmd.high);
}

DispatchOutcome sendVgOptions(Link& link, const VgBoxes& boxes) {
    return SendModuleCommand(link, ModuleFamily::VG, {}, 3, kVgOptions, packVgOptions(boxes), 0);
}

}  // namespace korvel
