#include "service/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace korvel {

namespace {
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A value beyond a double's range: too large saturates, too small is 0. The
// sign of the decimal exponent of its first significant digit tells which.
double outOfRange(std::string_view number) {
    const std::size_t e = std::min(number.find_first_of("eE"), number.size());
    const std::string_view mantissa = number.substr(0, e);
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) return 0.0;
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const long long place = first < point ? static_cast<long long>(point - first)
                                          : -static_cast<long long>(first - point - 1);
    long long exponent = 0;
    if (e < number.size()) {
        std::string_view digits = number.substr(e + 1);
        const bool negative = digits.front() == '-';
        if (digits.front() == '+' || negative) digits.remove_prefix(1);
        if (std::from_chars(digits.data(), digits.data() + digits.size(), exponent).ec !=
            std::errc{})
            exponent = std::numeric_limits<int>::max();
        if (negative) exponent = -exponent;
    }
    if (place + exponent <= 0) return 0.0;
    const double big = std::numeric_limits<double>::max();
    return number.front() == '-' ? -big : big;
}

// from_chars reads '.' as the decimal point whatever the process locale (a
// Dutch desktop sets ','); it declines a leading '+'.
double parseNumber(std::string_view number) {
    if (number.front() == '+') number.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) return outOfRange(number);
    return result.ec == std::errc{} ? value : 0.0;
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
    // The parser only sees the validated prefix, so no word (inf, nan, hex) slips in.
    return parseNumber(text.substr(start, end - start));
}

double roundHalfEven(double value) {
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::string counted(std::size_t n, const std::string& noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
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

std::optional<int> typedWholeNumber(std::string_view text, int minimum, int maximum) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < minimum || value > maximum) return std::nullopt;
    return value;
}

}  // namespace korvel
