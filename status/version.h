#pragma once

#include <cstdint>
#include <string>

namespace korvel {

// A version as two reply bytes carry it: X holds the first digit in its upper
// five bits and the second in its lower three, Y the third and fourth likewise.
// With 7-bit reply values the number stays below 16000.
std::int16_t versionNumber(std::uint8_t x, std::uint8_t y);

// "3.10 A" for 3101, "1.02" for 1020, "0.31" for 310: the first digit, a point,
// the next two, and a letter A-G when the last digit is 1-7.
std::string versionText(int version);

// A module's version, where 0 means it reported none.
std::string moduleVersionText(int version);

}  // namespace korvel
