// The identifiers of the type library as GUIDs, read from their text at compile time.
#pragma once

#include "com_api.h"
#include "type_library_idl.h"

#include <string_view>

namespace plandra::ocx {

namespace detail {
constexpr unsigned HexDigit(char c) {
    return c <= '9'   ? unsigned(c - '0')
           : c <= 'F' ? unsigned(c - 'A' + 10)
                      : unsigned(c - 'a' + 10);
}
// The value of `count` hexadecimal digits of "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX"
// from `position`, skipping the dashes.
constexpr unsigned long long HexField(std::string_view text, std::size_t position,
                                      std::size_t count) {
    unsigned long long value = 0;
    for (; count > 0; ++position) {
        if (text[position] != '-') {
            value = value * 16 + HexDigit(text[position]);
            --count;
        }
    }
    return value;
}
} // namespace detail

constexpr GUID GuidOf(std::string_view text) {
    GUID guid{static_cast<unsigned long>(detail::HexField(text, 0, 8)),
              static_cast<unsigned short>(detail::HexField(text, 9, 4)),
              static_cast<unsigned short>(detail::HexField(text, 14, 4)),
              {}};
    const std::size_t starts[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (int i = 0; i < 8; ++i) {
        guid.Data4[i] = static_cast<unsigned char>(detail::HexField(text, starts[i], 2));
    }
    return guid;
}

inline constexpr GUID LibidPlandraOCX = GuidOf(ids::PlandraOCX);
inline constexpr GUID ClsidDXF = GuidOf(ids::DXF);
inline constexpr GUID DiidDXF = GuidOf(ids::DXFInterface);
inline constexpr GUID DiidDXFEvents = GuidOf(ids::DXFEvents);
inline constexpr GUID DiidDXFLayers = GuidOf(ids::DXFLayersInterface);
inline constexpr GUID DiidDXFLayer = GuidOf(ids::DXFLayerInterface);
inline constexpr GUID ClsidppAppearance = GuidOf(ids::ppAppearance);

} // namespace plandra::ocx
