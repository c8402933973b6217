#pragma once

#include "link/link.h"
#include "service/dispatch.h"

namespace korvel {

// One ZR command as the dispatch takes it: its length and three bytes.
struct ZrSetting {
    int n = 0;
    int c = 0;
    int v = 0;
    int x = 0;
    bool operator==(const ZrSetting&) const = default;
};

inline constexpr int kZrMaxTime = 127;
inline constexpr int kZrMaxDevice = 63;

// The module's default time (0..127 in 1/60 s), a device's time and a device's
// power code (0 Normal, 1 Low, 2 High, 3 Unlimited); devices are 0..63.
ZrSetting zrDefaultTimeCommand(int time, bool permanent);
ZrSetting zrDeviceTimeCommand(int device, int time, bool permanent);
ZrSetting zrDevicePowerCommand(int device, int power, bool permanent);

// Sends the command to each target module.
DispatchOutcome sendZrCommand(Link& link, const Targets& targets, const ZrSetting& setting);
// Erases each target module's settings, without asking.
DispatchOutcome eraseZrSettings(Link& link, const Targets& targets);

}  // namespace korvel
