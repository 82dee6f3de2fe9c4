// Message boxes on Windows.
#pragma once

#include "platform/message_box.h"

namespace platform {

class Win32MessageBox final : public MessageBoxService {
public:
    int MessageBoxA(std::string_view text, std::string_view caption, unsigned type) override;
};

} // namespace platform
