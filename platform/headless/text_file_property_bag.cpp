// A property bag kept as a readable text file.
#include <array>
#include <charconv>
#include <fstream>
#include <platform/headless/text_file_property_bag.h>
#include <string_view>

namespace platform {
namespace {

constexpr std::array<std::string_view, 7> KindNames = {"Empty",  "Integer", "Long",  "Single",
                                                       "Double", "Boolean", "String"};

// Line ends and the escape character itself are the only text that would break the
// one-line-per-property layout; everything else, backslashes of paths included, stays.
std::string Escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '%') {
            out += "%25";
        } else if (c == '\r') {
            out += "%0D";
        } else if (c == '\n') {
            out += "%0A";
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

std::string Formatted(const Variant& value) {
    std::string text(KindNames[value.index()]);
    text += ':';
    switch (value.index()) {
    case 1:
        return text + Formatted(std::get<std::int16_t>(value));
    case 2:
        return text + Formatted(std::get<std::int32_t>(value));
    case 3:
        return text + Formatted(std::get<float>(value));
    case 4:
        return text + Formatted(std::get<double>(value));
    case 5:
        return text + (std::get<VariantBool>(value).Value ? "True" : "False");
    case 6:
        return text + Escaped(std::get<std::string>(value));
    default:
        return text;
    }
}

std::optional<Variant> Parsed(std::string_view kind, std::string_view text) {
    if (kind == "Empty" && text.empty()) {
        return Variant();
    }
    if (kind == "Integer") {
        return Parsed<std::int16_t>(text);
    }
    if (kind == "Long") {
        return Parsed<std::int32_t>(text);
    }
    if (kind == "Single") {
        return Parsed<float>(text);
    }
    if (kind == "Double") {
        return Parsed<double>(text);
    }
    if (kind == "Boolean" && (text == "True" || text == "False")) {
        return Variant(VariantBool{text == "True"});
    }
    if (kind == "String") {
        if (auto unescaped = Unescaped(text)) {
            return Variant(std::move(*unescaped));
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<TextFilePropertyBag> TextFilePropertyBag::Load(const std::filesystem::path& file) {
    TextFilePropertyBag bag;
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        return bag;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        const std::size_t equals = line.find(" = ");
        const std::size_t colon =
            equals == std::string::npos ? std::string::npos : line.find(':', equals + 3);
        if (colon == std::string::npos) {
            return std::nullopt;
        }
        std::optional<Variant> value =
            Parsed(std::string_view(line).substr(equals + 3, colon - equals - 3),
                   std::string_view(line).substr(colon + 1));
        if (!value || equals == 0) {
            return std::nullopt;
        }
        bag.Values[line.substr(0, equals)] = std::move(*value);
    }
    return bag;
}

bool TextFilePropertyBag::Save(const std::filesystem::path& file) const {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const auto& [name, value] : Values) {
        out << name << " = " << Formatted(value) << '\n';
    }
    out.flush();
    return static_cast<bool>(out);
}

Variant TextFilePropertyBag::ReadProperty(std::string_view name, const Variant& defaultValue) {
    auto found = Values.find(name);
    return found == Values.end() ? defaultValue : found->second;
}

void TextFilePropertyBag::WriteProperty(std::string_view name, const Variant& value,
                                        const Variant& defaultValue) {
    // A bag loaded from a file and saved again must not keep a value that went back
    // to its default.
    if (value == defaultValue) {
        Values.erase(std::string(name));
        return;
    }
    Values.insert_or_assign(std::string(name), value);
}

} // namespace platform
