// A property bag in a section of an INI file.
#include "platform/win32/win32_profile_property_bag.h"

#include "platform/variant_text.h"
#include "win32_api.h"

namespace platform {

namespace {

constexpr DWORD FirstBufferSize = 256;
// Longer values than this are not the control's settings.
constexpr DWORD LargestBufferSize = 1u << 20;

} // namespace

Variant Win32ProfilePropertyBag::ReadProperty(std::string_view name, const Variant& defaultValue) {
    const std::string nameZ(name);
    std::string buffer;
    DWORD length = 0;
    // A value that does not fit comes back cut to the buffer's size less one.
    for (DWORD size = FirstBufferSize; size <= LargestBufferSize; size *= 2) {
        buffer.assign(size, '\0');
        length = ::GetPrivateProfileStringA(Section.c_str(), nameZ.c_str(), "", buffer.data(), size,
                                            FileName.c_str());
        if (length + 1 < size) {
            break;
        }
    }
    buffer.resize(length);
    // Every stored form has its kind before the value, so an empty answer is a
    // missing key.
    std::optional<Variant> value = buffer.empty() ? std::nullopt : VariantFromText(buffer);
    return value ? *value : defaultValue;
}

void Win32ProfilePropertyBag::WriteProperty(std::string_view name, const Variant& value,
                                            const Variant& defaultValue) {
    const std::string nameZ(name);
    std::optional<std::string> text = value == defaultValue ? std::nullopt : VariantText(value);
    // A null value deletes the key.
    ::WritePrivateProfileStringA(Section.c_str(), nameZ.c_str(), text ? text->c_str() : nullptr,
                                 FileName.c_str());
}

} // namespace platform
