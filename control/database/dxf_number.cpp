// The number rules of DXF values.
#include "dxf_number.h"

#include "control_error.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace plandra {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Returns the length of the longest prefix of `text` that reads as an unsigned
// decimal number with an optional fraction and exponent.
std::size_t NumericPrefixLength(std::string_view text, bool& exponentUsesD) {
    std::size_t i = 0;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (i < text.size()) {
        char marker = text[i];
        if (marker == 'e' || marker == 'E' || marker == 'd' || marker == 'D') {
            std::size_t j = i + 1;
            if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
                ++j;
            }
            if (j < text.size() && IsDigit(text[j])) {
                while (j < text.size() && IsDigit(text[j])) {
                    ++j;
                }
                exponentUsesD = marker == 'd' || marker == 'D';
                i = j;
            }
        }
    }
    return i;
}

// Whether a number that no double holds (digits, an optional fraction, an optional
// exponent) is too large rather than too small: its first significant digit stands left
// of the decimal point once the exponent is applied. Decided on the text alone, as the
// C library's readers follow the locale's decimal separator.
bool TooLarge(std::string_view number) {
    const std::size_t exponentAt = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, exponentAt);
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) {
        return false;
    }
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    // Places the first significant digit stands left of the point (1 for 1.5), or minus
    // the zeros between the point and that digit (0 for 0.5, -2 for 0.005).
    const long long placesLeft = first < point ? static_cast<long long>(point - first)
                                               : -static_cast<long long>(first - point - 1);
    if (exponentAt == std::string_view::npos) {
        return placesLeft > 0;
    }
    std::string_view exponentText = number.substr(exponentAt + 1);
    const bool negativeExponent = !exponentText.empty() && exponentText.front() == '-';
    if (!exponentText.empty() && (exponentText.front() == '-' || exponentText.front() == '+')) {
        exponentText.remove_prefix(1);
    }
    long long exponent = 0;
    if (std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent)
            .ec == std::errc::result_out_of_range) {
        return !negativeExponent;
    }
    return (negativeExponent ? -exponent : exponent) + placesLeft > 0;
}

} // namespace

double ParseLenientNumber(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) {
        ++start;
    }
    bool negative = false;
    if (start < text.size() && (text[start] == '-' || text[start] == '+')) {
        negative = text[start] == '-';
        ++start;
    }
    text.remove_prefix(start);

    // Values with up to 15 digits and no exponent, by far the most common in a
    // drawing, are read directly: the digits and the power of ten are both exact
    // in a double, so one division gives the correctly rounded value.
    static constexpr double PowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::uint64_t digits = 0;
    int digitCount = 0;
    int fractionDigits = 0;
    std::size_t i = 0;
    while (i < text.size() && IsDigit(text[i])) {
        digits = digits * 10 + static_cast<unsigned>(text[i] - '0');
        ++digitCount;
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            digits = digits * 10 + static_cast<unsigned>(text[i] - '0');
            ++digitCount;
            ++fractionDigits;
            ++i;
        }
    }
    bool exponentFollows =
        i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D');
    if (digitCount == 0) {
        return 0.0;
    }
    if (digitCount <= 15 && !exponentFollows) {
        double value = static_cast<double>(digits) / PowersOfTen[fractionDigits];
        return negative ? -value : value;
    }

    bool exponentUsesD = false;
    std::size_t length = NumericPrefixLength(text, exponentUsesD);
    if (length == 0) {
        return 0.0;
    }
    std::string withExponentE;
    if (exponentUsesD) {
        withExponentE.assign(text.substr(0, length));
        for (char& c : withExponentE) {
            if (c == 'd' || c == 'D') {
                c = 'e';
            }
        }
        text = withExponentE;
    }
    double value = 0.0;
    auto result = std::from_chars(text.data(), text.data() + length, value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone either way; tell overflow from underflow.
        if (TooLarge(text.substr(0, length))) {
            throw ControlError::Runtime(RuntimeError::Overflow);
        }
        value = 0.0;
    }
    return negative ? -value : value;
}

std::int16_t ToInteger(double value) {
    double rounded = RoundHalfEven(value);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
          rounded <= std::numeric_limits<std::int16_t>::max())) {
        throw ControlError::Runtime(RuntimeError::Overflow);
    }
    return static_cast<std::int16_t>(rounded);
}

float ToSingle(double value) {
    if (std::abs(value) > std::numeric_limits<float>::max()) {
        throw ControlError::Runtime(RuntimeError::Overflow);
    }
    return static_cast<float>(value);
}

std::int32_t ToLong(double value) {
    double rounded = RoundHalfEven(value);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max())) {
        throw ControlError::Runtime(RuntimeError::Overflow);
    }
    return static_cast<std::int32_t>(rounded);
}

} // namespace plandra
