#include "status/version.h"

#include <cstdio>

namespace korvel {

std::int16_t versionNumber(std::uint8_t x, std::uint8_t y) {
    return static_cast<std::int16_t>((x >> 3) * 1000 + (x & 7) * 100 + (y >> 3) * 10 + (y & 7));
}

std::string versionText(int version) {
    if (version < 0) return "Unknown";  // -1: the controller never sent one
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d", version);
    std::string text{digits[0], '.', digits[1], digits[2]};
    const int letter = version % 10;
    if (letter > 0) text += {' ', static_cast<char>('@' + letter)};
    return text;
}

std::string moduleVersionText(int version) {
    return version == 0 ? "Unknown" : versionText(version);
}

}  // namespace korvel
