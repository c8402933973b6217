#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace korvel {

// The number at the start of a text box's text: leading blanks, an optional
// sign, digits with an optional decimal point and exponent. 0 when there is
// none; never NaN or infinite (an overflowing exponent saturates).
double leadingNumber(std::string_view text);

// Nearest integer, halves to even (12.5 -> 12, 13.5 -> 14).
double roundHalfEven(double value);

// Text of a whole number for writing back into a box ("20", "127").
std::string wholeNumberText(int value);

// A number typed on a command line: whole decimal digits only, within
// [minimum, maximum] (minimum >= 0); anything else is nullopt, never a guess.
std::optional<int> typedWholeNumber(std::string_view text, int minimum, int maximum);

// A count with its noun: "1 module", "7 modules".
std::string counted(std::size_t n, const std::string& noun);

// Reads a box whose value must lie in [minimum, maximum]: returns the corrected
// text when the number is out of range (the box must show it), and the byte sent.
struct RangedValue {
    bool corrected = false;
    std::string text;  // the box's text after correction
    int value = 0;     // rounded, halves to even, within the range
};
RangedValue readRanged(std::string_view text, int minimum, int maximum);

}  // namespace korvel
