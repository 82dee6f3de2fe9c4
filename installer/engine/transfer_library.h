// Files fetched from "ftp://" and "http://" sources through the transfer library.
#pragma once

#include <cstdint>
#include <string_view>

namespace vorn {

class Engine;

struct TransferRequest {
    std::string_view Source;
    std::string_view Target;
    std::uint32_t Size = 0;
    std::uint16_t DosDate = 0;
    std::uint16_t DosTime = 0;
};

/// Fetches `request.Source` into the file `request.Target`. False after the failure was
/// shown to the user.
bool TransferFile(Engine& engine, const TransferRequest& request);

} // namespace vorn
