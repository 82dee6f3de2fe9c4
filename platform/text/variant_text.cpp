// The readable text form of a stored variant.
#include "platform/variant_text.h"

#include <array>
#include <charconv>

namespace platform {
namespace {

constexpr std::array<std::string_view, 7> KindNames = {"Empty",  "Integer", "Long",  "Single",
                                                       "Double", "Boolean", "String"};

// Line ends, the zero and the escape character itself would break or cut a stored
// line; blanks at the end are dropped by the profile (INI) functions. Everything
// else, backslashes of paths included, stays as it is.
std::string Escaped(std::string_view text) {
    const std::size_t lastKept = text.find_last_not_of(" \t");
    const std::size_t blanksFrom = lastKept == std::string_view::npos ? 0 : lastKept + 1;
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' || c == '\r' || c == '\n' || c == '\0' || i >= blanksFrom) {
            constexpr std::string_view Digits = "0123456789ABCDEF";
            const auto code = static_cast<unsigned char>(c);
            out += '%';
            out += Digits[code >> 4];
            out += Digits[code & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> Unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        unsigned value = 0;
        auto [end, error] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
        if (error != std::errc() || end != text.data() + i + 3) {
            return std::nullopt;
        }
        out += static_cast<char>(value);
        i += 2;
    }
    return out;
}

template <typename Number> std::string Formatted(Number value) {
    std::array<char, 64> buffer{};
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

template <typename Number> std::optional<Variant> Parsed(std::string_view text) {
    Number value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return Variant(value);
}

} // namespace

std::optional<std::string> VariantText(const Variant& value) {
    if (std::holds_alternative<ObjectRef>(value)) {
        return std::nullopt;
    }
    std::string text(KindNames[value.index()]);
    text += ':';
    if (const auto* number = std::get_if<std::int16_t>(&value)) {
        return text + Formatted(*number);
    }
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        return text + Formatted(*number);
    }
    if (const auto* number = std::get_if<float>(&value)) {
        return text + Formatted(*number);
    }
    if (const auto* number = std::get_if<double>(&value)) {
        return text + Formatted(*number);
    }
    if (const auto* boolean = std::get_if<VariantBool>(&value)) {
        return text + (boolean->Value ? "True" : "False");
    }
    if (const auto* string = std::get_if<std::string>(&value)) {
        return text + Escaped(*string);
    }
    return text;
}

std::optional<Variant> VariantFromText(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view kind = text.substr(0, colon);
    const std::string_view value = text.substr(colon + 1);
    if (kind == "Empty" && value.empty()) {
        return Variant();
    }
    if (kind == "Integer") {
        return Parsed<std::int16_t>(value);
    }
    if (kind == "Long") {
        return Parsed<std::int32_t>(value);
    }
    if (kind == "Single") {
        return Parsed<float>(value);
    }
    if (kind == "Double") {
        return Parsed<double>(value);
    }
    if (kind == "Boolean" && (value == "True" || value == "False")) {
        return Variant(VariantBool{value == "True"});
    }
    if (kind == "String") {
        if (auto unescaped = Unescaped(value)) {
            return Variant(std::move(*unescaped));
        }
    }
    return std::nullopt;
}

} // namespace platform
