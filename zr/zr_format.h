#pragma once

#include <array>
#include <string>

#include "zr/zr_report.h"

namespace korvel {

// The decimal value right-aligned in a field of `width` columns (at most nine
// blanks of padding; a wider number keeps its rightmost digits).
std::string AlignNumber(int value, int width);

// A time in 1/60 s as the report shows it: " Default" for 0, otherwise the
// milliseconds with "ms", right-aligned in eight columns. Bit 7 is ignored.
std::string FormatZRTime(int value);

// The device power modes by code; the page's option buttons carry the same captions.
inline constexpr std::array<const char*, 4> kZrPowerNames{"Normal", "Low", "High", "Unlimited"};

// Power code 0-3 as its name; anything else is "Invalid setting".
std::string ZRPowerName(int value);

// The report's text for one item, with its own CR LF where a line ends: a
// device's timing opens its line, its power closes it.
std::string formatZrReportItem(const ZrReportItem& item);

}  // namespace korvel
