#include "zr/zr_commands.h"

#include "link/bus_words.h"
#include "zr/zr_codes.h"

namespace korvel {

ZrSetting zrDefaultTimeCommand(int time, bool permanent) {
    return {2, withPermanent(kZrTimeCode, permanent), time, 0};
}

// A command to one device of the module: its code, the device, then the value.
ZrSetting zrDeviceTimeCommand(int device, int time, bool permanent) {
    return {3, withPermanent(kZrTimeCode, permanent), device, time};
}

ZrSetting zrDevicePowerCommand(int device, int power, bool permanent) {
    return {3, withPermanent(kZrPowerCode, permanent), device, power};
}

DispatchOutcome sendZrCommand(Link& link, const Targets& targets, const ZrSetting& setting) {
    return SendModuleCommand(link, ModuleFamily::ZR, targets, setting.n, setting.c, setting.v,
                             setting.x);
}

DispatchOutcome eraseZrSettings(Link& link, const Targets& targets) {
    return SendModuleCommand(link, ModuleFamily::ZR, targets, 1, kZrEraseCode, 0, 0);
}

}  // namespace korvel
