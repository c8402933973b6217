#include "zr/zr_commands.h"

#include "link/bus_words.h"
#include "link/dispatch.h"
#include "link/number_text.h"
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

void SendZRSetting(Link& link, const ModuleRegistry& registry, const ZrSetting& setting) {
    SendModuleCommand(link, registry, Family::ZR, setting.n, setting.c, setting.v, setting.x);
}

void EraseZRSettings(Link& link, const ModuleRegistry& registry) {
    if (!confirmOrCancel(link.prompter(), kZrEraseWarning)) return;
    SendModuleCommand(link, registry, Family::ZR, 1, kEraseCode, 0, 0);
}

}  // namespace korvel
