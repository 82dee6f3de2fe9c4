// Conversions of the automation variant, with the coercion rules of automation hosts.
#include "automation_variant.h"

#include "control/database/control_error.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace plandra {
namespace {

ControlError TypeMismatch() {
    return ControlError(13, "Plandra", "Type mismatch");
}

double ParsedNumber(const std::string& text) {
    std::size_t begin = text.find_first_not_of(' ');
    std::size_t end = text.find_last_not_of(' ');
    if (begin == std::string::npos) {
        throw TypeMismatch();
    }
    double number = 0;
    const char* first = text.data() + begin;
    const char* last = text.data() + end + 1;
    if (*first == '+') {
        ++first;
    }
    auto [stop, error] = std::from_chars(first, last, number);
    if (error != std::errc() || stop != last) {
        throw TypeMismatch();
    }
    return number;
}

// Integers are reached by banker's rounding, as automation's VariantChangeType does.
template <typename Int> Int Rounded(double value) {
    if (std::isnan(value)) {
        throw ControlError::Runtime(RuntimeError::Overflow);
    }
    const double rounded = std::nearbyint(value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        throw ControlError::Runtime(RuntimeError::Overflow);
    }
    return static_cast<Int>(rounded);
}

} // namespace

VarType TypeOf(const Variant& value) {
    constexpr std::array<VarType, 8> Kinds = {VarType::Empty,  VarType::Integer, VarType::Long,
                                              VarType::Single, VarType::Double,  VarType::Boolean,
                                              VarType::String, VarType::Object};
    static_assert(Kinds.size() == std::variant_size_v<Variant>);
    return Kinds[value.index()];
}

double CDbl(const Variant& value) {
    switch (value.index()) {
    case 0:
        return 0;
    case 1:
        return std::get<std::int16_t>(value);
    case 2:
        return std::get<std::int32_t>(value);
    case 3:
        return std::get<float>(value);
    case 4:
        return std::get<double>(value);
    case 5:
        return std::get<VariantBool>(value).Value ? -1 : 0;
    case 6:
        return ParsedNumber(std::get<std::string>(value));
    default:
        throw TypeMismatch();
    }
}

Integer CInt(const Variant& value) {
    return Rounded<Integer>(CDbl(value));
}

Long CLng(const Variant& value) {
    return Rounded<Long>(CDbl(value));
}

float CSng(const Variant& value) {
    const double number = CDbl(value);
    if (std::isfinite(number) && std::fabs(number) > std::numeric_limits<float>::max()) {
        throw ControlError::Runtime(RuntimeError::Overflow);
    }
    return static_cast<float>(number);
}

bool CBool(const Variant& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        if (*text == "True" || *text == "true" || *text == "TRUE") {
            return true;
        }
        if (*text == "False" || *text == "false" || *text == "FALSE") {
            return false;
        }
    }
    return CDbl(value) != 0;
}

std::string CStr(const Variant& value) {
    std::array<char, 64> buffer{};
    auto text = [&buffer](auto number) {
        auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number);
        return std::string(buffer.data(), result.ptr);
    };
    switch (value.index()) {
    case 0:
        return {};
    case 1:
        return text(std::get<std::int16_t>(value));
    case 2:
        return text(std::get<std::int32_t>(value));
    case 3:
        return text(std::get<float>(value));
    case 4:
        return text(std::get<double>(value));
    case 5:
        return std::get<VariantBool>(value).Value ? "True" : "False";
    case 6:
        return std::get<std::string>(value);
    default:
        throw TypeMismatch();
    }
}

} // namespace plandra
