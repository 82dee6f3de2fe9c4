// A property bag kept as a readable text file.
#include "platform/headless/text_file_property_bag.h"

#include "platform/variant_text.h"

#include <fstream>
#include <string_view>

namespace platform {

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
        if (equals == std::string::npos || equals == 0) {
            return std::nullopt;
        }
        std::optional<Variant> value = VariantFromText(std::string_view(line).substr(equals + 3));
        if (!value) {
            return std::nullopt;
        }
        bag.Values[line.substr(0, equals)] = std::move(*value);
    }
    return bag;
}

bool TextFilePropertyBag::Save(const std::filesystem::path& file) const {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const auto& [name, value] : Values) {
        if (std::optional<std::string> text = VariantText(value)) {
            out << name << " = " << *text << '\n';
        }
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
    // to its default; an object has no text form to keep.
    if (value == defaultValue || std::holds_alternative<ObjectRef>(value)) {
        Values.erase(std::string(name));
        return;
    }
    Values.insert_or_assign(std::string(name), value);
}

} // namespace platform
