#pragma once

#include <array>
#include <optional>
#include <string>

#include "link/link.h"
#include "service/dispatch.h"
#include "service/module_registry.h"
#include "service/prompter.h"

namespace korvel {

// The setting boxes of the ZR page as the buttons read them.
struct ZrSettingBoxes {
    std::string timeText = "12";                           // txtZRtime, 0-127 in 1/60 s
    std::string deviceText = "0";                          // txtZRdevice, 0-63
    bool permanent = false;                                // chkZRperm
    std::array<bool, 4> power{true, false, false, false};  // optZRpower(0..3)
};

// One ZR command as the dispatch takes it, and the box texts to show when a
// number was out of range (the box then shows what was sent).
struct ZrSetting {
    int n = 0;
    int c = 0;
    int v = 0;
    int x = 0;
    std::optional<std::string> correctedTime;
    std::optional<std::string> correctedDevice;
    bool operator==(const ZrSetting&) const = default;
};

inline constexpr int kZrMaxTime = 127;
inline constexpr int kZrMaxDevice = 63;

// Power code of the option buttons: the last ticked of Low, High, Unlimited, else Normal.
int zrPowerCode(const std::array<bool, 4>& options);

ZrSetting zrDefaultTimeSetting(const ZrSettingBoxes& boxes);
ZrSetting zrDeviceTimeSetting(const ZrSettingBoxes& boxes);
ZrSetting zrDevicePowerSetting(const ZrSettingBoxes& boxes);

// Sends the command to each target module.
DispatchOutcome sendZrCommand(Link& link, const Targets& targets, const ZrSetting& setting);
// Erases each target module's settings, without asking.
DispatchOutcome eraseZrSettings(Link& link, const Targets& targets);

// Hands the command to the module or modules selected in cboZR.
void SendZRSetting(Link& link, Prompter& prompter, const ModuleRegistry& registry,
                   const ZrSetting& setting);

// "Erase All": asks first; only OK erases, any other answer says so and sends nothing.
void EraseZRSettings(Link& link, Prompter& prompter, const ModuleRegistry& registry);

inline constexpr const char* kZrEraseWarning =
    "Warning! This will permanently erase all settings of all selected ZR32-units";

}  // namespace korvel
