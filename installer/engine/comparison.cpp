// The comparisons of the If/While record.
#include "comparison.h"

#include "platform/ansi_text.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace vorn {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsPrintable(char c) {
    return c >= 0x20 && c <= 0x7E;
}
bool IsPunctuationOrBlank(char c) {
    return IsPrintable(c) && !IsDigit(c) && !IsLetter(c);
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

// A month/day/year date becomes year/month/day so that it sorts as a version;
// years 00 to 59 get a "1" in front to sort after 60 to 99.
std::string DateAsVersion(std::string_view text) {
    std::string result(text);
    if (text.size() >= 8 && text.find('/') != std::string_view::npos) {
        result = std::string(text.substr(6, 2)) + text[5] + std::string(text.substr(0, 5)) +
                 std::string(text.substr(8));
        if (result[0] >= '0' && result[0] <= '5') {
            result.insert(result.begin(), '1');
        }
    }
    return result;
}

std::string_view ReadDigits(std::string_view& text) {
    std::size_t count = 0;
    while (count < text.size() && IsDigit(text[count])) {
        ++count;
    }
    std::string_view digits = text.substr(0, count);
    text.remove_prefix(count);
    while (!text.empty() && IsPunctuationOrBlank(text.front())) {
        text.remove_prefix(1);
    }
    return digits;
}

// Compares digit strings as whole numbers, of any length.
int CompareNumbers(std::string_view a, std::string_view b) {
    auto strip = [](std::string_view digits) {
        std::size_t first = digits.find_first_not_of('0');
        return first == std::string_view::npos ? std::string_view() : digits.substr(first);
    };
    a = strip(a);
    b = strip(b);
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return Sign(a.compare(b));
}

// Later groups: the shorter number is scaled by ten per missing digit, which for
// digit strings is padding with zeros on the right to the same length.
int CompareScaled(std::string_view a, std::string_view b) {
    std::string left(a);
    std::string right(b);
    std::size_t length = std::max(left.size(), right.size());
    left.resize(length, '0');
    right.resize(length, '0');
    return Sign(left.compare(right));
}

int CompareBytes(std::string_view a, std::string_view b) {
    // As strcmp: bytes compared unsigned.
    std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::int64_t DecimalValue(std::string_view text) {
    // As atoi: leading blanks, a sign, then digits; saturates instead of overflowing.
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), INT64_C(1) << 40);
    }
    return negative ? -value : value;
}

} // namespace

int CompareVersions(std::string_view a, std::string_view b) {
    std::string left = DateAsVersion(a);
    std::string right = DateAsVersion(b);
    std::string_view x = left;
    std::string_view y = right;
    while (!x.empty() && x.front() == ' ') {
        x.remove_prefix(1);
    }
    while (!y.empty() && y.front() == ' ') {
        y.remove_prefix(1);
    }
    for (bool first = true;; first = false) {
        if (x.empty() || y.empty()) {
            return x.empty() && y.empty() ? 0 : (x.empty() ? -1 : 1);
        }
        if (IsLetter(x.front()) || IsLetter(y.front()) || !IsPrintable(x.front()) ||
            !IsPrintable(y.front())) {
            return CompareBytes(x, y);
        }
        std::string_view numberX = ReadDigits(x);
        std::string_view numberY = ReadDigits(y);
        int result = first ? CompareNumbers(numberX, numberY) : CompareScaled(numberX, numberY);
        if (result != 0) {
            return result;
        }
    }
}

bool EvaluateComparison(int code, std::string_view variable, std::string_view value) {
    switch (code) {
    case 0:
        return variable == value;
    case 1:
        return variable != value;
    case 2:
        return variable.find(value) != std::string_view::npos;
    case 3:
        return variable.find(value) == std::string_view::npos;
    case 4:
        return platform::EqualsIgnoringCase(variable, value);
    case 5:
        return !platform::EqualsIgnoringCase(variable, value);
    case 6:
        return CompareVersions(variable, value) > 0;
    case 7:
        return CompareVersions(variable, value) >= 0;
    case 8:
        return CompareVersions(variable, value) < 0;
    case 9:
        return CompareVersions(variable, value) <= 0;
    case 10:
        return variable.find_first_of(value) != std::string_view::npos;
    case 11:
        return variable.find_first_not_of(value) != std::string_view::npos;
    case 12:
        return static_cast<std::int64_t>(variable.size()) == DecimalValue(value);
    default:
        return false;
    }
}

} // namespace vorn
