#pragma once

#include <array>
#include <optional>
#include <string>

#include "link/link.h"
#include "ui_model/module_lists.h"
#include "ui_model/prompter.h"
#include "zr/zr_commands.h"
#include "zr/zr_report.h"

namespace korvel {

// The setting boxes of the ZR page as the buttons read them.
struct ZrSettingBoxes {
    std::string timeText = "12";                           // txtZRtime, 0-127 in 1/60 s
    std::string deviceText = "0";                          // txtZRdevice, 0-63
    bool permanent = false;                                // chkZRperm
    std::array<bool, 4> power{true, false, false, false};  // optZRpower(0..3)
};

// A command read from the boxes, and the box texts to show when a number was
// out of range (the box then shows what was sent).
struct ZrBoxSetting : ZrSetting {
    std::optional<std::string> correctedTime;
    std::optional<std::string> correctedDevice;
    bool operator==(const ZrBoxSetting&) const = default;
};

// Power code of the option buttons: the last ticked of Low, High, Unlimited, else Normal.
int zrPowerCode(const std::array<bool, 4>& options);

ZrBoxSetting zrDefaultTimeSetting(const ZrSettingBoxes& boxes);
ZrBoxSetting zrDeviceTimeSetting(const ZrSettingBoxes& boxes);
ZrBoxSetting zrDevicePowerSetting(const ZrSettingBoxes& boxes);

inline constexpr const char* kZrEraseWarning = KORVEL_TEXT(
    "Korvel", "Warning! This will permanently erase all settings of all selected ZR32-units");

// Hands the command to the module or modules selected in cboZR.
void SendZRSetting(Link& link, Prompter& prompter, const WindowRegistry& registry,
                   const ZrSetting& setting);

// "Erase All": asks first; only OK erases, any other answer says so and sends nothing.
void EraseZRSettings(Link& link, Prompter& prompter, const WindowRegistry& registry);

// Receives each piece of report text as it is appended (pieces carry their own CR LF).
using ZrReportSink = std::function<void(std::string_view piece)>;

// The report as the page shows it: the text of readZrReport's items. Returns
// the text gathered; it stays partial when the run stops early.
std::string RunZRReport(Link& link, ZrReportInputs& inputs, const ZrReportSink& sink);

}  // namespace korvel
