#include "ui_model/zr_routines.h"

#include "service/number_text.h"
#include "ui_model/outcome_boxes.h"
#include "zr/zr_format.h"

namespace korvel {

namespace {

// Reads a box, noting its corrected text when the number was out of range.
int readBox(const std::string& text, int maximum, std::optional<std::string>& corrected) {
    RangedValue ranged = readRanged(text, 0, maximum);
    if (ranged.corrected) corrected = std::move(ranged.text);
    return ranged.value;
}

}  // namespace

int zrPowerCode(const std::array<bool, 4>& options) {
    int code = 0;
    for (int w = 1; w < 4; ++w)
        if (options[static_cast<std::size_t>(w)]) code = w;
    return code;
}

ZrBoxSetting zrDefaultTimeSetting(const ZrSettingBoxes& boxes) {
    ZrBoxSetting s;
    const int time = readBox(boxes.timeText, kZrMaxTime, s.correctedTime);
    static_cast<ZrSetting&>(s) = zrDefaultTimeCommand(time, boxes.permanent);
    return s;
}

ZrBoxSetting zrDeviceTimeSetting(const ZrSettingBoxes& boxes) {
    ZrBoxSetting s;
    const int time = readBox(boxes.timeText, kZrMaxTime, s.correctedTime);
    const int device = readBox(boxes.deviceText, kZrMaxDevice, s.correctedDevice);
    static_cast<ZrSetting&>(s) = zrDeviceTimeCommand(device, time, boxes.permanent);
    return s;
}

ZrBoxSetting zrDevicePowerSetting(const ZrSettingBoxes& boxes) {
    ZrBoxSetting s;
    const int device = readBox(boxes.deviceText, kZrMaxDevice, s.correctedDevice);
    static_cast<ZrSetting&>(s) =
        zrDevicePowerCommand(device, zrPowerCode(boxes.power), boxes.permanent);
    return s;
}

void SendZRSetting(Link& link, Prompter& prompter, const WindowRegistry& registry,
                   const ZrSetting& setting) {
    presentOutcome(prompter,
                   sendZrCommand(link, selectedTargets(registry, ModuleFamily::ZR), setting));
}

void EraseZRSettings(Link& link, Prompter& prompter, const WindowRegistry& registry) {
    if (!confirmOrCancel(prompter, kZrEraseWarning, MessageButtons::OkCancelDefaultCancel)) return;
    presentOutcome(prompter, eraseZrSettings(link, selectedTargets(registry, ModuleFamily::ZR)));
}

std::string RunZRReport(Link& link, ZrReportInputs& inputs, const ZrReportSink& sink) {
    std::string text;
    readZrReport(link, inputs, [&](const ZrReportItem& item) {
        const std::string piece = formatZrReportItem(item);
        text += piece;
        if (sink) sink(piece);
    });
    return text;
}

}  // namespace korvel
