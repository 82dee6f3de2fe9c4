// The control's stored properties in property bags and streams.
#include "stored_properties.h"

#include "com_variant.h"
#include "platform/variant_text.h"

#include <algorithm>

namespace plandra::ocx {
namespace {

// Far more than the eighteen keys with the longest paths take.
constexpr ULONG LongestStreamText = 64 * 1024;

} // namespace

platform::Variant ComPropertyBag::ReadProperty(std::string_view name,
                                               const platform::Variant& defaultValue) {
    VARIANT value;
    ::VariantInit(&value);
    const std::wstring key = WideText(name);
    if (FAILED(Bag.Read(key.c_str(), &value, ErrorLog))) {
        return defaultValue;
    }
    try {
        platform::Variant read = FromVariant(value);
        ::VariantClear(&value);
        return std::holds_alternative<std::monostate>(read) ? defaultValue : read;
    } catch (const ControlError&) {
        ::VariantClear(&value);
        return defaultValue;
    }
}

void ComPropertyBag::WriteProperty(std::string_view name, const platform::Variant& value,
                                   const platform::Variant& defaultValue) {
    if (value == defaultValue) {
        return;
    }
    VARIANT stored;
    ToVariant(value, &stored);
    const std::wstring key = WideText(name);
    const HRESULT written = Bag.Write(key.c_str(), &stored);
    ::VariantClear(&stored);
    if (FAILED(written) && SUCCEEDED(Result)) {
        Result = written;
    }
}

platform::Variant MemoryPropertyBag::ReadProperty(std::string_view name,
                                                  const platform::Variant& defaultValue) {
    const auto found = std::ranges::find(Values, name, &std::pair<std::string, Variant>::first);
    return found == Values.end() ? defaultValue : found->second;
}

void MemoryPropertyBag::WriteProperty(std::string_view name, const platform::Variant& value,
                                      const platform::Variant& defaultValue) {
    std::erase_if(Values, [&](const auto& entry) { return entry.first == name; });
    if (value != defaultValue) {
        Values.emplace_back(std::string(name), value);
    }
}

std::string MemoryPropertyBag::Text() const {
    std::string text;
    for (const auto& [name, value] : Values) {
        if (const auto stored = platform::VariantText(value)) {
            text += name + "=" + *stored + "\r\n";
        }
    }
    return text;
}

bool MemoryPropertyBag::ReadText(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        if (end == std::string_view::npos) {
            return false;
        }
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 2);
        const std::size_t equals = line.find('=');
        const auto value = equals == std::string_view::npos
                               ? std::nullopt
                               : platform::VariantFromText(line.substr(equals + 1));
        if (!value) {
            return false;
        }
        Values.emplace_back(std::string(line.substr(0, equals)), *value);
    }
    return true;
}

HRESULT SaveToStream(const MemoryPropertyBag& bag, IStream& stream) {
    const std::string text = bag.Text();
    const ULONG size = static_cast<ULONG>(text.size());
    const unsigned char count[4] = {
        static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
        static_cast<unsigned char>(size >> 16), static_cast<unsigned char>(size >> 24)};
    HRESULT result = stream.Write(count, sizeof count, nullptr);
    if (SUCCEEDED(result) && size > 0) {
        result = stream.Write(text.data(), size, nullptr);
    }
    return result;
}

HRESULT LoadFromStream(IStream& stream, MemoryPropertyBag& bag) {
    unsigned char count[4] = {};
    ULONG read = 0;
    if (FAILED(stream.Read(count, sizeof count, &read)) || read != sizeof count) {
        return E_FAIL;
    }
    const ULONG size = count[0] | (count[1] << 8) | (count[2] << 16) | (ULONG(count[3]) << 24);
    if (size > LongestStreamText) {
        return E_FAIL;
    }
    std::string text(size, '\0');
    if (size > 0 && (FAILED(stream.Read(text.data(), size, &read)) || read != size)) {
        return E_FAIL;
    }
    return bag.ReadText(text) ? S_OK : E_FAIL;
}

} // namespace plandra::ocx
