#include "zr/zr_commands.h"

#include "link/bus_words.h"
#include "service/dispatch.h"
#include "service/number_text.h"
#include "zr/zr_codes.h"

namespace korvel {

namespace {

constexpr int kTimeCode = kZrTimeCode;
constexpr int kPowerCode = kZrPowerCode;
constexpr int kEraseCode = kZrEraseCode;

// Reads a box, noting its corrected text when the number was out of range.
int readBox(const std::string& text, int maximum, std::optional<std::string>& corrected) {
    RangedValue ranged = readRanged(text, 0, maximum);
    if (ranged.corrected) corrected = std::move(ranged.text);
    return ranged.value;
}

// A command to one device of the module: its code, the device, then `value`.
ZrSetting deviceSetting(ZrSetting s, const ZrSettingBoxes& boxes, int code, int value) {
    const int device = readBox(boxes.deviceText, kZrMaxDevice, s.correctedDevice);
    s.n = 3;
    s.c = withPermanent(code, boxes.permanent);
    s.v = device;
    s.x = value;
    return s;
}

}  // namespace

int zrPowerCode(const std::array<bool, 4>& options) {
    int code = 0;
    for (int w = 1; w < 4; ++w)
        if (options[static_cast<std::size_t>(w)]) code = w;
    return code;
}

ZrSetting zrDefaultTimeSetting(const ZrSettingBoxes& boxes) {
    ZrSetting s;
    const int time = readBox(boxes.timeText, kZrMaxTime, s.correctedTime);
    s.n = 2;
    s.c = withPermanent(kTimeCode, boxes.permanent);
    s.v = time;
    return s;
}

ZrSetting zrDeviceTimeSetting(const ZrSettingBoxes& boxes) {
    ZrSetting s;
    const int time = readBox(boxes.timeText, kZrMaxTime, s.correctedTime);
    return deviceSetting(std::move(s), boxes, kTimeCode, time);
}

ZrSetting zrDevicePowerSetting(const ZrSettingBoxes& boxes) {
    return deviceSetting({}, boxes, kPowerCode, zrPowerCode(boxes.power));
}

DispatchOutcome sendZrCommand(Link& link, const Targets& targets, const ZrSetting& setting) {
    return SendModuleCommand(link, ModuleFamily::ZR, targets, setting.n, setting.c, setting.v,
                             setting.x);
}

DispatchOutcome eraseZrSettings(Link& link, const Targets& targets) {
    return SendModuleCommand(link, ModuleFamily::ZR, targets, 1, kEraseCode, 0, 0);
}

void SendZRSetting(Link& link, Prompter& prompter, const ModuleRegistry& registry,
                   const ZrSetting& setting) {
    presentOutcome(prompter,
                   sendZrCommand(link, selectedTargets(registry, ModuleFamily::ZR), setting));
}

void EraseZRSettings(Link& link, Prompter& prompter, const ModuleRegistry& registry) {
    if (!confirmOrCancel(prompter, kZrEraseWarning)) return;
    presentOutcome(prompter, eraseZrSettings(link, selectedTargets(registry, ModuleFamily::ZR)));
}

}  // namespace korvel
