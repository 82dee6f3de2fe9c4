// Modal message boxes, with the Win32 MessageBoxA style and answer values.
#pragma once

#include <string_view>

namespace platform {

/// Style bits and answers of MessageBoxA, with their Win32 values.
namespace mb {
inline constexpr unsigned Ok = 0x0;
inline constexpr unsigned OkCancel = 0x1;
inline constexpr unsigned YesNo = 0x4;
inline constexpr unsigned IconStop = 0x10;
inline constexpr unsigned IconQuestion = 0x20;
inline constexpr unsigned IconExclamation = 0x30;
inline constexpr unsigned IconInformation = 0x40;
} // namespace mb

namespace id {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace id

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    /// Shows `text` under `caption` and returns the button chosen (an id:: value).
    virtual int MessageBoxA(std::string_view text, std::string_view caption, unsigned type) = 0;
};

} // namespace platform
