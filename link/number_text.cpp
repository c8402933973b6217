#include "link/number_text.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace korvel {

namespace {
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
}  // namespace

double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool digits = false;
    while (i < text.size() && isDigit(text[i])) ++i, digits = true;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i, digits = true;
    }
    if (!digits) return 0.0;
    std::size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) ++j;
            end = j;
        }
    }
    // strtod only sees the validated prefix, so no locale word (inf, nan, hex) slips in.
    const std::string number(text.substr(start, end - start));
    const double value = std::strtod(number.c_str(), nullptr);
    if (std::isnan(value)) return 0.0;
    const double big = std::numeric_limits<double>::max();
    return value > big ? big : (value < -big ? -big : value);
}

double roundHalfEven(double value) {
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::string wholeNumberText(int value) {
    return std::to_string(value);
}

RangedValue readRanged(std::string_view text, int minimum, int maximum) {
    RangedValue result;
    result.text = std::string(text);
    double number = leadingNumber(text);
    if (number < minimum) {
        result.corrected = true;
        result.text = wholeNumberText(minimum);
        number = minimum;
    }
    if (number > maximum) {
        result.corrected = true;
        result.text = wholeNumberText(maximum);
        number = maximum;
    }
    result.value = static_cast<int>(roundHalfEven(number));
    return result;
}

}  // namespace korvel
