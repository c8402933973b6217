#include "zr/zr_format.h"

#include <algorithm>
#include <cmath>

namespace korvel {

namespace {
std::string rightmost(const std::string& text, std::size_t count) {
    return text.substr(text.size() - std::min(count, text.size()));
}
}  // namespace

std::string AlignNumber(int value, int width) {
    return rightmost(std::string(9, ' ') + std::to_string(value),
                     static_cast<std::size_t>(std::max(width, 0)));
}

std::string FormatZRTime(int value) {
    if (value == 0) return " Default";
    const int units = value & 127;
    const auto milliseconds = static_cast<long>(std::floor(units * 100.0 / 6.0));
    return rightmost(std::string(9, ' ') + std::to_string(milliseconds) + "ms", 8);
}

std::string ZRPowerName(int value) {
    if (value < 0 || value >= static_cast<int>(kZrPowerNames.size())) return "Invalid setting";
    return kZrPowerNames[static_cast<std::size_t>(value)];
}

std::string formatZrReportItem(const ZrReportItem& item) {
    constexpr const char* kLineEnd = "\r\n";
    switch (item.kind) {
        case ZrReportItem::Kind::Header:
            return "ZR32#" + std::to_string(item.module) +
                   (item.permanent ? " Permanent settings:" : " Active settings:") + kLineEnd;
        case ZrReportItem::Kind::DefaultTime:
            return "Default Timing =" + FormatZRTime(item.value) + kLineEnd;
        case ZrReportItem::Kind::Columns:
            return std::string("Device  Timing  Power") + kLineEnd;
        case ZrReportItem::Kind::DeviceTime:
            return AlignNumber(item.device, 6) + FormatZRTime(item.value);
        case ZrReportItem::Kind::DevicePower:
            return "  " + ZRPowerName(item.value) + kLineEnd;
    }
    return {};
}

}  // namespace korvel
